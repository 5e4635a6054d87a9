#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolk developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a C++ file differs from what .clang-format asks for, or a source file does not name
# its licence.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
missing=$(git ls-files '*.cpp' '*.h' '*.sh' '*CMakeLists.txt' '*.cmake' |
    xargs grep -L 'SPDX-License-Identifier: GPL-3.0-or-later' || true)
if [ -n "$missing" ]; then
    echo "no SPDX-License-Identifier line in:" >&2
    echo "$missing" >&2
    exit 1
fi

// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Domain names of addresses, as the public suffix list and IDNA see them. Every function takes a
// name in Unicode or ASCII form, any letter case, and any text: what is no domain name gives an
// empty result or false.

// The ASCII (punycode) form in lower case; empty when the name cannot be a domain name.
QString asciiDomain(const QString& domain);

// The Unicode form of a name, for showing it.
QString unicodeDomain(const QString& domain);

// The part of the name someone registered, in lower-case ASCII form: example.co.uk for
// mail.example.co.uk. A name with none (a public suffix, a single label) stands for itself.
QString registrableDomain(const QString& domain);

bool sameRegistrableDomain(const QString& first, const QString& second);

// Whether the name has two labels or more and ends in a top-level domain of the public suffix
// list: "paypal.com" does, "v1.2" or "Dr.Mustermann" do not.
bool looksLikeDomain(const QString& domain);

// Whether a label is international: in punycode, or in letters beyond ASCII.
bool isInternational(const QString& domain);

// Whether a label mixes letters of scripts that no language writes together: Latin with
// Cyrillic ("pаypal") does, Japanese with Latin does not.
bool mixesScripts(const QString& domain);

#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tarvolk developers
# SPDX-License-Identifier: GPL-3.0-or-later
# A throw-away dovecot POP3 server on 127.0.0.1 for tests, benchmarks and the demo mode.
#
# Usage:
#   dovecot-harness.sh adduser DIR NAME PASSWORD   add a user with an empty maildir DIR/mail/NAME
#   dovecot-harness.sh start DIR PORT [TLSPORT]    write DIR/dovecot.conf, start, wait for PORT
#   dovecot-harness.sh stop DIR [PID]              stop the server started in DIR (quiet if none);
#                                                  PID is its pid as recorded at the start
#
# With TARVOLK_DOVECOT_OWNER set to a process id, start leaves a watcher behind that stops the
# server when that process is gone: a test that crashes or is killed runs no clean-up of its own.
# Users may be added before or after start: dovecot re-reads the passwd-file when it changes.
# Mail is delivered by writing a file into DIR/mail/NAME/new (or cur). Everything dovecot writes
# stays inside DIR. With TLSPORT, DIR/cert.pem is a fresh self-signed certificate for localhost,
# served on TLSPORT (POP3 over TLS) and through STLS on PORT.
set -euo pipefail
# dovecot lives in /usr/sbin, which a normal user's PATH may lack.
PATH="$PATH:/usr/sbin:/sbin"

die()
{
    echo "dovecot-harness: $*" >&2
    exit 1
}

# Mail processes refuse uid 0, so as root the mail belongs to nobody; otherwise to the caller.
mail_owner()
{
    if [ "$(id -u)" -eq 0 ]; then
        mail_uid=$(id -u nobody)
        mail_gid=$(getent group nogroup | cut -d: -f3)
    else
        mail_uid=$(id -u)
        mail_gid=$(id -g)
    fi
}

absolute_dir()
{
    [ -d "$1" ] || die "no such folder: $1"
    (cd "$1" && pwd -P)
}

# The pid of the dovecot that runs DIR's configuration: from its pid file, else the pid recorded
# at its start, else found among all processes (before dovecot has written its pid file).
master_pid()
{
    local dir="$1" pid entry
    for pid in "$(cat "$dir/run/master.pid" 2>/dev/null)" "${2:-}"; do
        if runs_config "$pid" "$dir"; then
            echo "$pid"
            return 0
        fi
    done
    for entry in /proc/[0-9]*; do
        if runs_config "${entry#/proc/}" "$dir"; then
            echo "${entry#/proc/}"
            return 0
        fi
    done
    return 1
}

# True when the process is a dovecot master running DIR's configuration: a pid written down
# earlier may belong to another process by now. Read without a subshell a process: a loaded
# machine forks slowly, and this looks at every process.
runs_config()
{
    local arguments=()
    [ -n "$1" ] && mapfile -d '' arguments 2>/dev/null <"/proc/$1/cmdline" || return 1
    [[ ${arguments[0]:-} == *dovecot && ${arguments[1]:-} == -c &&
        ${arguments[2]:-} == "$2/dovecot.conf" ]]
}

port_open()
{
    # A connection that opens proves the listener is there; it is closed again at once.
    (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

cmd_adduser()
{
    [ $# -eq 3 ] || die "usage: adduser DIR NAME PASSWORD"
    local dir name="$2" password="$3"
    dir=$(absolute_dir "$1")
    case "$name$password" in
    *:* | *$'\n'*) die "name and password must not hold ':' or a line break" ;;
    esac
    mail_owner
    mkdir -p "$dir/mail/$name/cur" "$dir/mail/$name/new" "$dir/mail/$name/tmp"
    chown -R "$mail_uid:$mail_gid" "$dir/mail/$name"
    chmod 0755 "$dir/mail" "$dir/mail/$name"
    touch "$dir/passwd"
    grep -v "^$name:" "$dir/passwd" >"$dir/passwd.new" || true
    echo "$name:{PLAIN}$password:$mail_uid:$mail_gid::$dir/mail/$name::" >>"$dir/passwd.new"
    # The auth process reads it as the unprivileged dovecot user; these are test passwords.
    chmod 0644 "$dir/passwd.new"
    mv "$dir/passwd.new" "$dir/passwd"
}

make_certificate()
{
    local dir="$1"
    openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 30 \
        -subj "/CN=localhost" -addext "subjectAltName=DNS:localhost,IP:127.0.0.1" \
        -keyout "$dir/key.pem" -out "$dir/cert.pem" >/dev/null 2>&1 ||
        die "openssl could not make a certificate"
    chmod 0644 "$dir/cert.pem"
    chmod 0600 "$dir/key.pem"
}

write_config()
{
    local dir="$1" port="$2" tlsport="$3"
    local user_lines="" login_chroot="login" other_chroot="empty"
    if [ "$(id -u)" -ne 0 ]; then
        # Without root dovecot can neither switch users nor chroot: run everything as the caller.
        local me
        me=$(id -un)
        user_lines="default_internal_user = $me
default_internal_group = $(id -gn)
default_login_user = $me"
        login_chroot=""
        other_chroot=""
    fi
    local ssl_lines="ssl = no" tls_listener="port = 0"
    if [ -n "$tlsport" ]; then
        ssl_lines="ssl = yes
ssl_cert = <$dir/cert.pem
ssl_key = <$dir/key.pem"
        tls_listener="port = $tlsport
    ssl = yes"
    fi
    cat >"$dir/dovecot.conf" <<EOF
# Written by dovecot-harness.sh; everything lives in $dir.
protocols = pop3
listen = 127.0.0.1
base_dir = $dir/run
state_dir = $dir/state
log_path = $dir/dovecot.log
info_log_path = $dir/dovecot.log
$user_lines
first_valid_uid = $mail_uid
first_valid_gid = $mail_gid

# Plain log-in on the plain port, no delay after a failure, no per-address penalty.
disable_plaintext_auth = no
auth_mechanisms = plain login
auth_failure_delay = 0
auth_verbose = yes
$ssl_lines

passdb {
  driver = passwd-file
  args = scheme=PLAIN username_format=%u $dir/passwd
}
userdb {
  driver = passwd-file
  args = username_format=%u $dir/passwd
}
mail_location = maildir:~

service anvil {
  chroot = $other_chroot
  unix_listener anvil-auth-penalty {
    mode = 0
  }
}
service ipc {
  chroot = $other_chroot
}
service pop3-login {
  chroot = $login_chroot
  inet_listener pop3 {
    port = $port
  }
  inet_listener pop3s {
    $tls_listener
  }
}
service imap-login {
  inet_listener imap {
    port = 0
  }
  inet_listener imaps {
    port = 0
  }
}
service submission-login {
  inet_listener submission {
    port = 0
  }
}

# Settings of a test of its own (DovecotServer::setExtraConfig).
!include_try $dir/extra.conf
EOF
}

cmd_start()
{
    [ $# -eq 2 ] || [ $# -eq 3 ] || die "usage: start DIR PORT [TLSPORT]"
    local dir port="$2" tlsport="${3:-}"
    dir=$(absolute_dir "$1")
    command -v dovecot >/dev/null || die "dovecot is not installed"
    cmd_stop "$dir"
    mail_owner
    # The unprivileged mail and login processes must reach the folder.
    chmod 0755 "$dir"
    mkdir -p "$dir/mail" "$dir/run" "$dir/state"
    chmod 0755 "$dir/mail"
    touch "$dir/passwd"
    chmod 0644 "$dir/passwd"
    if [ -n "$tlsport" ]; then
        command -v openssl >/dev/null || die "openssl is not installed"
        make_certificate "$dir"
    fi
    write_config "$dir" "$port" "$tlsport"
    : >"$dir/master.log"

    # dovecot forks into the background; it must not inherit the caller's pipes, or a caller
    # that reads them until their end would wait for as long as dovecot runs.
    if ! dovecot -c "$dir/dovecot.conf" </dev/null >>"$dir/master.log" 2>&1; then
        failed "$dir" "dovecot did not start"
    fi
    # Started means listening with its pid file written, so that a stop right after finds it.
    local tries=0
    until [ -s "$dir/run/master.pid" ] && port_open "$port" &&
        { [ -z "$tlsport" ] || port_open "$tlsport"; }; do
        tries=$((tries + 1))
        # A loaded machine may take a while; a master that is gone will not come.
        if [ "$tries" -ge 300 ] || ! master_pid "$dir" >/dev/null; then
            cmd_stop "$dir"
            failed "$dir" "dovecot does not listen on port $port${tlsport:+ and $tlsport}"
        fi
        sleep 0.1
    done
    if [ -n "${TARVOLK_DOVECOT_OWNER:-}" ]; then
        setsid bash "$0" watch "$dir" "$TARVOLK_DOVECOT_OWNER" </dev/null >/dev/null 2>&1 &
    fi
}

cmd_watch()
{
    tail --pid="$2" -f /dev/null 2>/dev/null || true
    cmd_stop "$1"
}

failed()
{
    local dir="$1"
    echo "dovecot-harness: $2" >&2
    tail -n 20 "$dir/master.log" "$dir/dovecot.log" >&2 2>/dev/null || true
    exit 1
}

cmd_stop()
{
    [ $# -eq 1 ] || [ $# -eq 2 ] || die "usage: stop DIR [PID]"
    [ -d "$1" ] || return 0
    local dir pid tries=0 pids=()
    dir=$(absolute_dir "$1")
    pid=$(master_pid "$dir" "${2:-}") || return 0
    # Login processes hold the listening socket too: wait for them as well as for the master.
    read -r -a pids <<<"$pid $(children_of "$pid")"
    kill -TERM "$pid" 2>/dev/null || return 0
    while still_running "${pids[@]}"; do
        tries=$((tries + 1))
        if [ "$tries" -eq 100 ]; then
            kill -KILL "${pids[@]}" 2>/dev/null || true
        fi
        [ "$tries" -lt 150 ] || die "dovecot ($pid) does not stop"
        sleep 0.1
    done
    rm -f "$dir/run/master.pid"
}

# State and parent of a process from /proc into `state` and `parent` (procps may be missing in a
# slim CI image), without a subshell.
proc_stat()
{
    local stat rest
    read -r stat 2>/dev/null <"/proc/$1/stat" || return 1
    # The name in parentheses may hold blanks; the fields after it do not.
    read -r state parent rest <<<"${stat##*) }"
}

children_of()
{
    local entry state parent
    for entry in /proc/[0-9]*; do
        if proc_stat "${entry#/proc/}" && [ "$parent" = "$1" ]; then
            echo -n "${entry#/proc/} "
        fi
    done
}

still_running()
{
    local pid state parent
    for pid in "$@"; do
        proc_stat "$pid" || continue
        # A finished process may stay a zombie when nothing reaps it: that counts as gone.
        [ "$state" = Z ] || return 0
    done
    return 1
}

case "${1:-}" in
adduser)
    shift
    cmd_adduser "$@"
    ;;
start)
    shift
    cmd_start "$@"
    ;;
stop)
    shift
    cmd_stop "$@"
    ;;
watch)
    shift
    cmd_watch "$@"
    ;;
*) die "usage: $0 adduser DIR NAME PASSWORD | start DIR PORT [TLSPORT] | stop DIR [PID]" ;;
esac

# Sourced by scripts that need an IMAP server: a Dovecot on a loopback port, run
# as root from a private configuration in a folder of its own, serving one user
# "tab" (password "secret") whose INBOX is the Maildir WORK/mail.
#   tabulon_start_dovecot WORK
# Sets dovecot_pid, dovecot_port, and writes WORK/cert.pem (the server's
# certificate) and WORK/password. The caller stops it: kill "$dovecot_pid".
tabulon_start_dovecot() {
    local work=$1
    [ "$(id -u)" -eq 0 ] || { echo "Dovecot runs from a private configuration only as root" >&2; return 1; }
    chmod 755 "$work"
    dovecot_port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 1 \
        -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 \
        -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
    mkdir -p "$work"/{run,state} "$work"/mail/{cur,new,tmp}
    echo "tab:{PLAIN}secret:$(id -u dovecot):$(id -g dovecot)::$work/mail" >"$work/passwd"
    echo secret >"$work/password"
    chmod 600 "$work/password"
    cat >"$work/dovecot.conf" <<CONF
base_dir = $work/run
state_dir = $work/state
log_path = $work/dovecot.log
protocols = imap
listen = 127.0.0.1
default_login_user = dovenull
default_internal_user = dovecot
first_valid_uid = 1
ssl = required
ssl_cert = <$work/cert.pem
ssl_key = <$work/key.pem
passdb {
  driver = passwd-file
  args = $work/passwd
}
userdb {
  driver = passwd-file
  args = $work/passwd
}
mail_location = maildir:$work/mail
service imap-login {
  inet_listener imap {
    port = 0
  }
  inet_listener imaps {
    address = 127.0.0.1
    port = $dovecot_port
  }
}
service anvil {
  chroot =
}
CONF
    chown -R dovecot:dovecot "$work/mail"
    /usr/sbin/dovecot -F -c "$work/dovecot.conf" &
    dovecot_pid=$!
    until (echo >"/dev/tcp/127.0.0.1/$dovecot_port") 2>/dev/null; do sleep 0.1; done
}

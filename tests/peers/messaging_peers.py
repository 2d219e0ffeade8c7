#!/usr/bin/python3
"""Real peers of the messaging tests, on loopback, one per process.

Options --host H (default 127.0.0.1) and --port P (default: a free port; 21
for ftp) choose where a peer listens.

    messaging_peers.py pop3 DIR MAILDIR_SOURCE   dovecot serving the messages of MAILDIR_SOURCE
                                                 to testuser/testpass (DIR: scratch folder)
    messaging_peers.py smtp DIR                  SMTP server (refuses recipients @refused.example); each mail's raw bytes go to
                                                 DIR/N.eml, its envelope to DIR/N.env
    messaging_peers.py tcp DIR                   TCP listener; the bytes of each connection go
                                                 to DIR/N.bin
    messaging_peers.py ftp DIR USER PASSWORD     vsftpd (root only);
                                                 a local USER is made, home DIR/home

Each prints "port N" on its first line once it listens, then serves until it
gets SIGTERM. The caller owns the process id (dovecot and vsftpd replace the
helper with exec, so the id is the server's). For ftp the caller runs
"messaging_peers.py ftp-cleanup USER" afterwards.
"""
import os
import random
import shutil
import signal
import socket
import subprocess
import sys
import time


def free_port(host="127.0.0.1"):
    with socket.socket() as s:
        s.bind((host, 0))
        return s.getsockname()[1]


def announce(port):
    sys.stdout.write("port %d\n" % port)
    sys.stdout.flush()


def wait_listening(host, port, timeout=10.0):
    end = time.time() + timeout
    while time.time() < end:
        try:
            with socket.create_connection((host, port), timeout=0.2):
                return True
        except OSError:
            time.sleep(0.05)
    return False


def announce_when_listening(host, port):
    """Announces the port from a grandchild once the server that this process
    becomes listens: the server never sees a child it did not start (vsftpd
    stops at the end of a child it does not know)."""
    if os.fork() == 0:
        if os.fork() == 0:
            announce(port if wait_listening(host, port) else 0)
        os._exit(0)
    os.wait()


def pop3(folder, source, host, port):
    folder = os.path.abspath(folder)
    port = port or free_port(host)
    os.makedirs(folder, exist_ok=True)
    os.chmod(folder, 0o755)
    for sub in ("run", "state"):
        os.makedirs(os.path.join(folder, sub), exist_ok=True)
    maildir = os.path.join(folder, "mail", "testuser", "Maildir")
    for sub in ("cur", "new", "tmp"):
        os.makedirs(os.path.join(maildir, sub), exist_ok=True)
    for i, name in enumerate(sorted(os.listdir(source))):
        shutil.copyfile(os.path.join(source, name),
                        os.path.join(maildir, "cur", "%d.%d.test:2," % (1000000000 + i, i)))
    subprocess.run(["chown", "-R", "nobody:nogroup", os.path.join(folder, "mail")], check=True)
    subprocess.run(["chmod", "-R", "a+rX", folder], check=True)
    with open(os.path.join(folder, "users"), "w") as f:
        f.write("testuser:{PLAIN}testpass\n")
    conf = os.path.join(folder, "dovecot.conf")
    with open(conf, "w") as f:
        f.write(f"""protocols = pop3
listen = {host}
base_dir = {folder}/run
state_dir = {folder}/state
log_path = {folder}/dovecot.log
ssl = no
disable_plaintext_auth = no
auth_mechanisms = plain login
mail_location = maildir:{folder}/mail/%u/Maildir
first_valid_uid = 1
passdb {{
  driver = passwd-file
  args = scheme=PLAIN username_format=%u {folder}/users
}}
userdb {{
  driver = static
  args = uid=nobody gid=nogroup home={folder}/mail/%u
}}
service pop3-login {{
  inet_listener pop3 {{
    address = {host}
    port = {port}
  }}
}}
service imap-login {{
  inet_listener imap {{
    port = 0
  }}
}}
""")
    # dovecot itself announces nothing: the helper becomes dovecot.
    announce_when_listening(host, port)
    os.execv("/usr/sbin/dovecot", ["dovecot", "-F", "-c", conf])


def smtp(folder, host, port):
    import asyncio
    from aiosmtpd.controller import Controller

    os.makedirs(folder, exist_ok=True)

    class Keep:
        count = 0

        async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
            if address.endswith("@refused.example"):
                return "550 5.1.1 no such user"
            envelope.rcpt_tos.append(address)
            return "250 OK"

        async def handle_DATA(self, server, session, envelope):
            Keep.count += 1
            base = os.path.join(folder, "%d" % Keep.count)
            with open(base + ".eml.tmp", "wb") as f:
                f.write(envelope.original_content)
            with open(base + ".env", "w") as f:
                f.write("helo %s\nfrom %s\nto %s\n" % (session.host_name, envelope.mail_from,
                                                       ",".join(envelope.rcpt_tos)))
            os.rename(base + ".eml.tmp", base + ".eml")
            return "250 Message accepted for delivery"

    signal.pthread_sigmask(signal.SIG_BLOCK, {signal.SIGTERM, signal.SIGINT})
    port = port or free_port(host)
    controller = Controller(Keep(), hostname=host, port=port)
    controller.start()
    announce(port)
    signal.sigwait({signal.SIGTERM, signal.SIGINT})
    controller.stop()


def tcp(folder, host, port):
    os.makedirs(folder, exist_ok=True)
    server = socket.socket()
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind((host, port or 0))
    server.listen(16)
    announce(server.getsockname()[1])
    count = 0
    while True:
        conn, _ = server.accept()
        count += 1
        data = b""
        conn.settimeout(5)
        try:
            while True:
                piece = conn.recv(65536)
                if not piece:
                    break
                data += piece
        except OSError:
            pass
        conn.close()
        path = os.path.join(folder, "%d.bin" % count)
        with open(path + ".tmp", "wb") as f:
            f.write(data)
        os.rename(path + ".tmp", path)


def ftp(folder, user, password, host, port):
    port = port or 21
    pasv = random.randint(40000, 60000)
    folder = os.path.abspath(folder)
    home = os.path.join(folder, "home")
    os.makedirs(home, exist_ok=True)
    os.chmod(folder, 0o755)
    subprocess.run(["useradd", "-d", home, "-s", "/bin/sh", user], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run(["chpasswd"], input=("%s:%s\n" % (user, password)).encode(), check=True)
    subprocess.run(["chown", user, home], check=True)
    os.makedirs("/var/run/vsftpd/empty", exist_ok=True)
    conf = os.path.join(folder, "vsftpd.conf")
    with open(conf, "w") as f:
        f.write(f"""listen=YES
listen_ipv6=NO
listen_address={host}
listen_port={port}
background=NO
local_enable=YES
write_enable=YES
pasv_enable=YES
pasv_min_port={pasv}
pasv_max_port={pasv + 10}
pasv_address={host}
port_enable=YES
connect_from_port_20=NO
ascii_upload_enable=YES
secure_chroot_dir=/var/run/vsftpd/empty
pam_service_name=vsftpd
seccomp_sandbox=NO
log_ftp_protocol=YES
xferlog_enable=YES
vsftpd_log_file={folder}/vsftpd.log
ssl_enable=NO
""")
    announce_when_listening(host, port)
    # vsftpd leaves at once when its output is a pipe: it writes to a file.
    out = os.open(os.path.join(folder, "vsftpd.out"), os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
    os.dup2(out, 1)
    os.dup2(out, 2)
    os.dup2(os.open(os.devnull, os.O_RDONLY), 0)
    os.execv("/usr/sbin/vsftpd", ["vsftpd", conf])


def ftp_cleanup(user):
    subprocess.run(["userdel", user], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def main(argv):
    host, port, args = "127.0.0.1", 0, []
    i = 0
    while i < len(argv):
        if argv[i] in ("--host", "--port"):
            if argv[i] == "--host":
                host = argv[i + 1]
            else:
                port = int(argv[i + 1])
            i += 2
        else:
            args.append(argv[i])
            i += 1
    kind = args[0]
    if kind == "pop3":
        pop3(args[1], args[2], host, port)
    elif kind == "smtp":
        smtp(args[1], host, port)
    elif kind == "tcp":
        tcp(args[1], host, port)
    elif kind == "ftp":
        ftp(args[1], args[2], args[3], host, port)
    elif kind == "ftp-cleanup":
        ftp_cleanup(args[1])
    else:
        sys.exit("unknown peer " + kind)


if __name__ == "__main__":
    main(sys.argv[1:])

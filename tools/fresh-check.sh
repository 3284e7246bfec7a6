#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Kestrana developers
# Proves that the README's commands work on a brand-new Debian 12, and that the Debian package installs
# and runs there. As root, on a Debian or Ubuntu machine with debootstrap:
#
#   bash tools/fresh-check.sh
#
# 1. A minimal Debian 12 (debootstrap --variant=minbase bookworm) is made once and kept pristine in
#    the cache folder ($KESTRANA_FRESH_CACHE, default /var/cache/kestrana-fresh); each run works on a
#    copy of it, so reruns skip the bootstrap.
# 2. The committed tree (HEAD of the repository this script lives in; uncommitted changes are not
#    part of it) is cloned into the copy, which runs `bash tools/test.sh`, then `bash tools/run.sh`
#    under Xvfb until the program has been up for a few seconds, then builds the two .deb files with
#    `bash tools/package.sh` (Debian's hardening flags) and runs lintian over them: no error allowed.
# 3. A second copy of the pristine system installs kestrana-cli alone with apt-get and shows that no
#    Qt library came with it, runs `kestrana-cli --help`; then installs kestrana, answers
#    `kestrana --help` without a display, starts `kestrana` under Xvfb, finds the run files' MIME
#    type in the system's database, and checks the installed programs with hardening-check and the
#    installed metainfo with `appstreamcli validate --pedantic`.
#
# Downloaded packages are kept in the cache between runs (only the downloads: every copy installs
# them afresh). Everything mounted is unmounted and the copies are removed on exit, whatever happens;
# KESTRANA_FRESH_KEEP=1 keeps the copies for a look inside.
set -euo pipefail

repo=$(git -C "$(dirname "$0")/.." rev-parse --show-toplevel)
cache=${KESTRANA_FRESH_CACHE:-/var/cache/kestrana-fresh}
mirror=${KESTRANA_FRESH_MIRROR:-http://deb.debian.org/debian}
up_seconds=${KESTRANA_FRESH_UP_SECONDS:-5}

if [ "$(id -u)" -ne 0 ]; then
    echo "fresh-check: needs root (debootstrap, chroot, mount)" >&2
    exit 1
fi
command -v debootstrap >/dev/null || {
    echo "fresh-check: debootstrap is not installed (apt-get install debootstrap)" >&2
    exit 1
}

step() { printf '\n=== fresh-check: %s (%s)\n' "$*" "$(date +%T)"; }

mkdir -p "$cache/apt-archives/partial"
if [ ! -d "$cache/base" ]; then
    step "making the pristine minimal Debian 12 in $cache/base"
    rm -rf "$cache/base.tmp"
    debootstrap --variant=minbase bookworm "$cache/base.tmp" "$mirror"
    mv "$cache/base.tmp" "$cache/base"
fi

work=$(mktemp -d "$cache/run.XXXXXX")
mounted=()
cleanup() {
    local status=$?
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount -R "${mounted[i]}" 2>/dev/null || umount -R -l "${mounted[i]}" || true
    done
    if [ "${KESTRANA_FRESH_KEEP:-0}" = 1 ]; then
        echo "fresh-check: the copies are kept in $work"
    else
        rm -rf --one-file-system "$work"
    fi
    exit $status
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A copy of the pristine system with /proc and /dev mounted, name resolution, and the shared download
# cache. /dev is a recursive bind made a slave, so unmounting it never reaches the host's /dev.
new_root() {
    local root=$1
    cp -a "$cache/base" "$root"
    cp /etc/resolv.conf "$root/etc/resolv.conf"
    mount -t proc proc "$root/proc"
    mounted+=("$root/proc")
    mount --rbind /dev "$root/dev"
    mount --make-rslave "$root/dev"
    mounted+=("$root/dev")
    mount --bind "$cache/apt-archives" "$root/var/cache/apt/archives"
    mounted+=("$root/var/cache/apt/archives")
}

# Runs a bash script inside the copy as root with a clean, non-interactive environment and no stdin.
in_root() {
    local root=$1
    shift
    chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb DEBIAN_FRONTEND=noninteractive \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin /bin/bash -euo pipefail -c "$1" \
        </dev/null
}

# Starts a command under Xvfb inside the copy and passes when the program is still running after
# $up_seconds, counted from the moment the process has become the program (run.sh builds first,
# then replaces itself by it).
starts_under_xvfb() {
    local root=$1 command=$2 program=$3
    in_root "$root" "
        cd /root/kestrana 2>/dev/null || cd /root
        xvfb-run -a -s '-screen 0 1024x768x24' bash -c '
            $command &
            pid=\$!
            for _ in \$(seq 1800); do
                exe=\$(readlink /proc/\$pid/exe || true)
                case \$exe in */$program) break ;; esac
                kill -0 \$pid 2>/dev/null || { echo \"$program: ended before its window came up\"; wait \$pid; exit 1; }
                sleep 1
            done
            sleep $up_seconds
            if ! kill -0 \$pid 2>/dev/null; then
                wait \$pid && status=0 || status=\$?
                echo \"$program: ended after less than $up_seconds s (status \$status)\"
                exit 1
            fi
            echo \"$program: started and still running after $up_seconds s\"
            kill \$pid
            wait \$pid || true
        '
    "
}

build_root=$work/build-root
step "copying the pristine system for the build"
new_root "$build_root"
commit=$(git -C "$repo" rev-parse HEAD)
git clone -q --no-local "$repo" "$build_root/root/kestrana"
git -C "$build_root/root/kestrana" checkout -q --detach "$commit"
echo "cloned $repo at $(git -C "$repo" log -1 --format='%h %s' "$commit")"

step "bash tools/test.sh"
in_root "$build_root" "cd /root/kestrana && bash tools/test.sh"

step "bash tools/run.sh under Xvfb"
starts_under_xvfb "$build_root" "bash tools/run.sh" kestrana

step "bash tools/package.sh"
in_root "$build_root" "cd /root/kestrana && bash tools/package.sh"
debs=$build_root/root/kestrana/build-package
cli_deb=$(cd "$debs" && ls kestrana-cli_*.deb)
gui_deb=$(cd "$debs" && ls kestrana_*.deb)
for deb in "$cli_deb" "$gui_deb"; do
    echo "--- dpkg -I $deb"
    dpkg-deb --info "$debs/$deb" | sed -n '/^ [A-Z][A-Za-z-]*:/,$p'
    dpkg-deb --contents "$debs/$deb" | awk '{print "    " $1, $6}'
done

step "lintian on both packages"
in_root "$build_root" "cd /root/kestrana/build-package && { lintian --display-info --no-tag-display-limit $cli_deb $gui_deb || true; } | tee lintian.txt
    if grep -q '^E:' lintian.txt; then echo 'lintian: errors above'; exit 1; fi
    echo \"lintian: no errors, \$(grep -c '^W:' lintian.txt || true) warnings\""

install_root=$work/install-root
step "installing $cli_deb alone in a second copy of the pristine system"
new_root "$install_root"
cp "$debs/$cli_deb" "$debs/$gui_deb" "$install_root/root/"
in_root "$install_root" "apt-get update -q && apt-get install -y -q --no-install-recommends ./root/$cli_deb"
# The batch front end needs only the core: not one Qt library may come with it.
in_root "$install_root" "qt=\$(dpkg-query -W -f='\${Package}\\n' | grep -iE '^(libqt|qt6|qt-)' || true)
    if [ -n \"\$qt\" ]; then echo \"kestrana-cli pulled in Qt: \$qt\"; exit 1; fi
    echo \"no Qt package installed with kestrana-cli (\$(dpkg-query -W | wc -l) packages in all)\"
    dpkg-query -W -f='\${Depends}\\n' kestrana-cli"

step "kestrana-cli --help from the package"
in_root "$install_root" "command -v kestrana-cli; kestrana-cli --version; kestrana-cli --help
    ls -l /usr/share/man/man1/kestrana-cli.1.gz /usr/share/doc/kestrana-cli/"

step "installing $gui_deb beside it"
in_root "$install_root" "apt-get install -y -q --no-install-recommends ./root/$gui_deb"
# Only the virtual display of this check; the program brings everything else it needs.
in_root "$install_root" "apt-get install -y -q --no-install-recommends xvfb xauth >/dev/null"

step "kestrana --help and --version from the package, without a display"
in_root "$install_root" "command -v kestrana; kestrana --version; kestrana --help
    ls -l /usr/share/man/man1/kestrana.1.gz /usr/share/doc/kestrana/
    ls -l /usr/share/mime/packages/org.kestrana.Kestrana.xml
    # The system's MIME database holds the type once shared-mime-info is there (Qt brings it).
    grep -H kestrana /usr/share/mime/globs2 || echo 'no MIME database (shared-mime-info is not installed)'"

step "kestrana from the package under Xvfb"
starts_under_xvfb "$install_root" "kestrana" kestrana

step "hardening-check and appstreamcli on the installed files"
in_root "$install_root" "apt-get install -y -q --no-install-recommends devscripts binutils appstream >/dev/null
    # Every feature Debian 12's dpkg-buildflags asks for is required; control-flow protection
    # (-fcf-protection) is not among them there, so it is not required here either.
    hardening-check --nocfprotection /usr/bin/kestrana-cli /usr/bin/kestrana
    appstreamcli validate --pedantic --no-net /usr/share/metainfo/org.kestrana.Kestrana.metainfo.xml"

step "passed: test.sh and run.sh on a fresh Debian 12; both packages install (the CLI without Qt), run and pass lintian, hardening-check and appstreamcli"

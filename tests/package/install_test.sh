#!/usr/bin/env bash
# Installs the Debian package on a fresh Debian 12 (debootstrap, kept in ZANTRIC_ROOT_CACHE, in a chroot
# in a mount namespace; needs root and the network) as a user would, and runs both programs there.
#   tests/package/install_test.sh DEB
set -euo pipefail
deb=$(realpath "$1")
cd "$(dirname "$0")/../.."
cache=${ZANTRIC_ROOT_CACHE:-$PWD/build/package-root.tar}
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
started=$SECONDS
root=$(mktemp -d /var/tmp/zantric-root.XXXXXX)
trap 'rm -rf --one-file-system "$root"' EXIT
if [[ ! -f $cache ]]; then
    echo "Making a minimal Debian 12 with debootstrap (once; kept in $cache)"
    debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.log" 2>&1 ||
        { tail -20 "$root.log"; exit 1; }
    rm -f "$root.log"
    tar -C "$root" -cf "$cache.part" . && mv "$cache.part" "$cache"
    rm -rf --one-file-system "$root" && mkdir "$root"
    echo "debootstrap: $((SECONDS - started)) s"
fi
tar -C "$root" -xf "$cache"
cp "$deb" "$root/tmp/"
cp /etc/resolv.conf "$root/etc/resolv.conf"
# Runs in the chroot: install, then check. Prints FAIL lines and ends with a summary.
cat >"$root/tmp/check.sh" <<'CHECK'
set -u
export DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8 HOME=/root
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
{ apt-get update -q && apt-get install -y -q /tmp/zantric_*.deb; } >/tmp/apt.log 2>&1 ||
    { tail -30 /tmp/apt.log; exit 1; }
for program in zantric-cli zantric; do [[ $($program --version) == "$program "* ]] || fail "$program --version"; done
[[ -r /usr/share/dict/american-english ]] || fail "the recommended word list is not installed"
hint=$(zantric-cli list 2>&1 >/dev/null)
grep -qE "\(/usr/share/dict/[a-z-]+\): zantric-cli starter$" <<<"$hint" || fail "no starter hint: $hint"
[[ -d ~/.local/share/zantric ]] || fail "the program folder is not ~/.local/share/zantric"
zantric-cli starter >/tmp/make.log 2>&1 || fail "making the starter dictionary: $(cat /tmp/make.log)"
found=$(zantric-cli search '*' --from listen 2>/dev/null | tr '\n' ' ')
[[ $found == *"silent "* && $found == *"tinsel "* ]] || fail "search: [$found]"
QT_QPA_PLATFORM=offscreen timeout 5 zantric >/tmp/window.log 2>&1; status=$?
((status == 124)) || fail "the window ended with status $status: $(cat /tmp/window.log)"
for f in /usr/share/{applications/org.example.zantric.desktop,icons/hicolor/scalable/apps/org.example.zantric.svg} \
    /usr/share/{metainfo/org.example.zantric.metainfo.xml,man/man1/zantric.1.gz,man/man1/zantric-cli.1.gz} \
    /usr/share/doc/zantric/{copyright,changelog.Debian.gz,zantric.html}; do [[ -s $f ]] || fail "$f is missing"; done
zcat /usr/share/man/man1/zantric-cli.1.gz | grep -q '^\.SH EXIT STATUS' || fail "manual page"
source /usr/share/bash-completion/completions/zantric-cli
COMP_WORDS=(zantric-cli select en); COMP_CWORD=2; _zantric_cli
[[ ${COMPREPLY[*]-} == english ]] || fail "completion of a dictionary name: [${COMPREPLY[*]-}]"
echo "installed size: $(dpkg-query -W -f='${Installed-Size}' zantric) kB;" \
     "packages: $(dpkg-query -W -f='.\n' | wc -l)"
((failures == 0)) && echo "the installed package works"
exit $((failures > 0))
CHECK
unshare -m --propagation private -- bash -c '
    root=$1
    mount -t proc proc "$root/proc"
    mount --rbind /dev "$root/dev"
    mount -t tmpfs tmpfs "$root/dev/shm" 2>/dev/null || true
    chroot "$root" /bin/bash /tmp/check.sh' _ "$root"
echo "install test: $((SECONDS - started)) s"

#!/bin/sh
# SPDX-License-Identifier: GPL-2.0-or-later
# Whether a source package builds to the same bits however its builder's system differs: reprotest
# of the release (in a buildd root of its main suite, with what the package's build needs) builds
# it twice, the second time with every variation it has but one: build path, environment, home,
# kernel name, address space randomisation, number of CPUs, time, time zone, locale, umask, file
# order (disorderfs), host and domain name. Not another user and group: reprotest 0.7.23 builds as
# that user in a folder whose parent only root may write, and dpkg-genbuildinfo cannot put its
# .buildinfo there; sbuild builds as a user of its own in any case. Without the tests: they build
# nothing that goes into the package. What differs, diffoscope shows. Into OUT: reprotest's output
# and, if not reproducible, both builds' packages. As root:
#   tools/reprotest.sh RELEASE DSC OUT
set -eu
hier=$(dirname "$(realpath "$0")")
release=$1
dsc=$(realpath "$2")
aus=$(realpath -m "$3")
. "$hier/apt.sh"
ARBEIT=$(mktemp -d /var/tmp/reprotest.XXXXXX)
. "$hier/wurzel.sh"
trap wurzeln_weg EXIT

wurzel r "$release" buildd+reprotest haupt
mkdir "$ARBEIT/r/src"
for datei in "$dsc" $(awk '/^Files:/ { f = 1; next } /^[^ ]/ { f = 0 } f { print $3 }' "$dsc"); do
    cp "$(dirname "$dsc")/$(basename "$datei")" "$ARBEIT/r/src/"
done
im_apt r update -qq
im_apt r install -y -qq --no-install-recommends reprotest diffoscope-minimal disorderfs faketime \
    locales-all fuse3 sudo >/dev/null
# The host and domain name change in a UTS namespace of their own, by sudo unshare (a process in a
# chroot may not make the user namespace that reprotest makes otherwise); sudo looks up this
# machine's name.
echo "127.0.0.1 localhost $(hostname)" > "$ARBEIT/r/etc/hosts"
im r sh -c "cd /src && dpkg-source -x ./*.dsc baum >/dev/null &&
    apt-get build-dep -y -qq -Pnocheck ./baum >/dev/null"
wurzel_merken r "$release" buildd+reprotest
einhaengen r "$release" buildd
# disorderfs, for the file order, is a FUSE file system: fusermount looks for it in the table of
# mounts. faketime, for the time, keeps its semaphores in /dev/shm: one of the root's own.
ln -sf ../proc/self/mounts "$ARBEIT/r/etc/mtab"
mount -t tmpfs -o mode=1777 tmpfs "$ARBEIT/r/dev/shm"
mkdir -p "$aus"
anfang=$(date +%s)
status=0
im r sh -c "cd /src/baum && DEB_BUILD_OPTIONS=nocheck reprotest \
    --vary=-user_group,domain_host.use_sudo=1 --store-dir=/src/ergebnis \
    'dpkg-buildpackage -b --no-sign -Pnocheck' '../*.deb' -- null" >"$aus/reprotest.log" 2>&1 ||
    status=$?
version=$(im r dpkg-query -W -f '${Version}' reprotest)
if [ $status -ne 0 ]; then
    tail -60 "$aus/reprotest.log"
    cp -r "$ARBEIT/r/src/ergebnis" "$aus/" 2>/dev/null || true
    echo "reprotest $version: $(basename "$dsc") on $release is not reproducible (or did not build)" >&2
    exit 1
fi
echo "== reprotest $version on $release, in $(($(date +%s) - anfang)) s: $(basename "$dsc") is reproducible:"
grep -E '^[0-9a-f]{64}  ' "$aus/reprotest.log" | sed 's#  .*/#  #'

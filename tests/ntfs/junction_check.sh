#!/bin/sh
# Hands the program's mount-point data to a real NTFS implementation: makes a small NTFS
# image, mounts it with ntfs-3g, writes the data to empty folders through the
# system.ntfs_reparse_data attribute, mounts again, and checks that each folder now leads to
# its source folder. Exits 77 (skipped) only when FUSE is not available.
# Usage: junction_check.sh PATH-TO-mount_point_data
set -u
tool=$1
skip=77

for need in mkntfs ntfs-3g setfattr getfattr fusermount; do
    if ! command -v "$need" >/dev/null 2>&1; then
        echo "FAIL: $need is missing (install the packages ntfs-3g and attr)" >&2
        exit 1
    fi
done
if [ ! -e /dev/fuse ]; then
    echo "SKIP: /dev/fuse is missing, so no NTFS volume can be mounted here" >&2
    exit $skip
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-ntfs.XXXXXX") || exit 1
mnt=$work/mnt
mounted=0
cleanup() {
    if [ $mounted = 1 ]; then
        fusermount -u "$mnt" 2>/dev/null || umount "$mnt" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

mount_volume() {
    if ! timeout -k 5 30 ntfs-3g "$work/volume.img" "$mnt" 2>"$work/mount.err"; then
        if grep -qi 'fuse' "$work/mount.err"; then
            cat "$work/mount.err" >&2
            echo "SKIP: FUSE does not work here, so no NTFS volume can be mounted" >&2
            exit $skip
        fi
        cat "$work/mount.err" >&2
        fail "ntfs-3g could not mount the image"
    fi
    mounted=1
}

unmount_volume() {
    fusermount -u "$mnt" || fail "could not unmount the image"
    mounted=0
}

mkdir "$mnt" || exit 1
truncate -s 8M "$work/volume.img" || fail "no room for the image"
mkntfs -F -Q "$work/volume.img" >"$work/mkntfs.log" 2>&1 || { cat "$work/mkntfs.log" >&2; fail "mkntfs"; }
mount_volume

# Source folders, and the empty folders that become junctions to them. Windows names the
# volume by its drive letter; ntfs-3g maps a target on the mounted volume onto it.
mkdir -p "$mnt/src/inner" "$mnt/Фото" "$mnt/links" || fail "cannot make folders"
echo "plain" >"$mnt/src/file.txt"
echo "photo" >"$mnt/Фото/снимок.txt"
echo "inner" >"$mnt/src/inner/deep.txt"

set_junction() {  # folder, source as Windows would name it
    mkdir "$1" || fail "cannot make $1"
    data=$("$tool" "$2") || fail "no mount-point data for $2"
    setfattr -n system.ntfs_reparse_data -v "0x$data" "$1" || fail "ntfs-3g refused the data for $2"
    echo "$data" >"$1.expected"
}
set_junction "$mnt/links/plain" 'C:\src'
set_junction "$mnt/links/trailing" 'C:\src\'
set_junction "$mnt/links/cyrillic" 'C:\Фото'
set_junction "$mnt/links/nested" 'C:\src\inner'
# Entries in other forms: the program makes them full, normal names first.
set_junction "$mnt/links/dotdot" 'C:\src\inner\..'
set_junction "$mnt/links/long" '\\?\C:\src\inner'
set_junction "$mnt/links/slashes" 'C:/src/./inner/'
mv "$mnt"/links/*.expected "$work/" || exit 1

# Read back from a fresh mount, so nothing comes from the driver's caches.
unmount_volume
mount_volume

check() {  # junction, folder it must lead to, a file that must be seen through it
    name=$(basename "$1")
    stored=$(getfattr -h -n system.ntfs_reparse_data -e hex --only-values "$1" 2>/dev/null | od -An -tx1 | tr -d ' \n')
    [ "$stored" = "$(cat "$work/$name.expected")" ] || fail "$name: the volume holds other data than was written ($stored)"
    [ -L "$1" ] || fail "$name: not seen as a link to a folder"
    [ "$(readlink -f "$1")" = "$(readlink -f "$2")" ] || fail "$name: leads to $(readlink "$1"), not to $2"
    [ -f "$1/$3" ] || fail "$name: $3 is not seen through the junction"
    cmp -s "$1/$3" "$2/$3" || fail "$name: $3 differs through the junction"
    echo "ok: $name -> $(readlink "$1")"
}
check "$mnt/links/plain" "$mnt/src" file.txt
check "$mnt/links/trailing" "$mnt/src" file.txt
check "$mnt/links/cyrillic" "$mnt/Фото" снимок.txt
check "$mnt/links/nested" "$mnt/src/inner" deep.txt
check "$mnt/links/dotdot" "$mnt/src" file.txt
check "$mnt/links/long" "$mnt/src/inner" deep.txt
check "$mnt/links/slashes" "$mnt/src/inner" deep.txt
for same in trailing dotdot; do
    [ "$(cat "$work/plain.expected")" = "$(cat "$work/$same.expected")" ] || fail "$same: other data than for C:\src"
done
echo "PASS: the mount-point data makes working junctions on NTFS"
exit 0

#!/bin/sh
# The strip that cpack runs on the packaged programs (CMAKE_STRIP in scripts/package.sh): as Debian's
# dh_strip does, it also drops the compilers' .comment and .note sections, which nothing reads.
exec strip --remove-section=.comment --remove-section=.note --strip-unneeded "$@"

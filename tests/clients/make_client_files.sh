#!/bin/bash
# Writes the AVI files that the client tests decode, with Debian's ffmpeg:
# a test picture in Cinepak and in MS Video 1, 160x120, 20 frames each.
#   make_client_files.sh FOLDER
set -euo pipefail
mkdir -p "$1"
for codec in cinepak msvideo1; do
    ffmpeg -loglevel error -y -f lavfi -i testsrc=size=160x120:rate=15 -frames:v 20 \
        -c:v "$codec" "$1/$codec.avi"
done

#!/bin/bash
# Writes the AVI files that the client tests decode, with Debian's ffmpeg:
# a test picture in Cinepak and in MS Video 1, 160x120, 30 frames each, and
# in MS Video 1 once more with key frames only. Wine's msvc, decoding a
# delta frame to 24 bits, fills the blocks it skips from memory it never
# cleared, which differs from process to process: a player's 24-bit
# pictures compare byte for byte only without delta frames.
#   make_client_files.sh FOLDER
set -euo pipefail
mkdir -p "$1"
picture=(-loglevel error -y -f lavfi -i testsrc=size=160x120:rate=15 -frames:v 30)
for codec in cinepak msvideo1; do
    ffmpeg "${picture[@]}" -c:v "$codec" "$1/$codec.avi"
done
ffmpeg "${picture[@]}" -c:v msvideo1 -keyint_min 0 "$1/msvideo1-keys.avi"

#!/bin/sh
# Installs what building and testing the program needs on Debian 12 (run as root).
set -e
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends \
  cmake make g++ clang libclang-rt-14-dev clang-format pkg-config python3 \
  libgtest-dev libgmock-dev libbenchmark-dev \
  qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n libgl-dev libx11-dev fonts-liberation fonts-wqy-microhei \
  libical-dev libuchardet-dev python3-icalendar python3-vobject \
  zlib1g-dev libxxhash-dev libjemalloc-dev \
  libcurl4-openssl-dev libexpat1-dev qtkeychain-qt6-dev radicale xandikos vdirsyncer openssl \
  hyperfine

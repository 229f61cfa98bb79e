#!/usr/bin/env bash
# lintian on the package, every tag shown (information and pedantic ones too); an error fails.
set -euo pipefail
lintian --fail-on error --display-info --pedantic "$1"

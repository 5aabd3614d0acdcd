#!/usr/bin/env bash
set -euo pipefail
echo "Marupo demo"

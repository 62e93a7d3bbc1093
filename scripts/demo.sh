#!/usr/bin/env bash
# The main job on a sample the project makes itself.
set -euo pipefail
build=${1:-build}
echo
echo "Built into $build/bin. The converter's core starts up and loads its encoder library;"
echo "conversion of sample inputs is not part of this build yet, so the demo stops here."

#!/bin/sh
# SPDX-License-Identifier: MIT
# Stands for an end-to-end test whose tools are missing ($1): skipped, by its
# exit status 77, except under CI=true, where everything must be there.
if [ "$CI" = true ]; then
    echo "e2e must run under CI=true but is missing: $1" >&2
    exit 1
fi
echo "e2e skipped, missing: $1 (scripts/setup installs them)"
exit 77

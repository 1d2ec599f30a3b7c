#!/usr/bin/env bash
# tapwise-cli --version prints the project's one version number; a usage error exits 2.
# usage: cli_version_test.sh TAPWISE_CLI VERSION
set -u
cli=$1
version=$2
out=$("$cli" --version)
[ "$out" = "tapwise-cli $version" ] || { echo "FAIL: --version printed '$out'"; exit 1; }
"$cli" --help | grep -q -- '--version' || { echo "FAIL: --help does not mention --version"; exit 1; }
"$cli" no-such-command 2>/dev/null
[ $? = 2 ] || { echo "FAIL: an unknown command does not exit 2"; exit 1; }
echo ok

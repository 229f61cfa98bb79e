#!/usr/bin/env bash
# The logger's user service: it runs the packaged clampmeter-cli log with the options of
# ~/.config/clampmeter/log.env, whose packaged example clampmeter-cli takes, and the package
# depends on the MQTT client library the logger publishes with.
#   log_service_check.sh UNPACKED DEB
set -euo pipefail
root=$1 deb=$2
unit=$root/usr/lib/systemd/user/clampmeter-log.service
example=$root/usr/share/doc/clampmeter/examples/log.env
failed=0

for line in 'EnvironmentFile=%E/clampmeter/log.env' \
    'ExecStart=/usr/bin/clampmeter-cli log $CLAMPMETER_LOG_OPTIONS' \
    'RestartPreventExitStatus=2' 'WantedBy=default.target'; do
    if ! grep -qxF "$line" "$unit"; then
        echo "clampmeter-log.service lacks: $line"
        failed=1
    fi
done

# The example's options, split into words as systemd splits $CLAMPMETER_LOG_OPTIONS; --help
# ends the run once they are read.
options=$(sed -n 's/^CLAMPMETER_LOG_OPTIONS=//p' "$example")
if [ -z "$options" ]; then
    echo "log.env sets no CLAMPMETER_LOG_OPTIONS"
    failed=1
else
    # shellcheck disable=SC2086 # split into words on purpose
    if ! "$root/usr/bin/clampmeter-cli" log $options --help >/dev/null; then
        echo "clampmeter-cli log does not take the example's options: $options"
        failed=1
    fi
fi

depends=$(dpkg-deb --field "$deb" Depends)
if [[ $depends != *libpaho-mqtt* ]]; then
    echo "the package does not depend on the MQTT client library: $depends"
    failed=1
fi
exit $failed

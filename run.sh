#!/usr/bin/env bash
# Installs what is missing, builds, writes the demo world when it is not there and starts the editor
# on it. Without a display the program runs under Xvfb, a screenshot is saved and the program stops.
#   ./run.sh             kickoraeditor on build/demo/kickoraeditor/
#   ./run.sh zexporter   zexporter on the Zentor demo source build/demo/zexporter/zentor4.mdb
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
source "$root/scripts/setup.sh"
install_missing_packages
build_project "$root"

program="${1:-kickoraeditor}"
case "$program" in
    kickoraeditor)
        demo="$root/build/demo/kickoraeditor"
        if [ ! -f "$demo/kickora.mdb" ]; then
            "$root/build/src/tool/kickoratool" demo "$demo"
        fi
        # The editor takes its program folder from where the executable lies.
        cp "$root/build/src/editor/kickoraeditor" "$demo/kickoraeditor"
        exe="$demo/kickoraeditor"
        ;;
    zexporter)
        demo="$root/build/demo/zexporter"
        mkdir -p "$demo"
        if [ ! -f "$demo/zentor4.mdb" ]; then
            "$root/build/src/tool/kickoratool" demo-zentor "$demo/zentor4.mdb"
        fi
        # zentor4.mdb is looked up in the folder of the executable.
        cp "$root/build/src/exporter/zexporter" "$demo/zexporter"
        exe="$demo/zexporter"
        cd "$demo"
        ;;
    *)
        echo "Unbekanntes Programm: $program" >&2
        exit 2
        ;;
esac

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$exe"
fi

shot="$root/build/screenshots/run-$program.png"
mkdir -p "$(dirname "$shot")"
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    QT_QPA_PLATFORM=xcb "$1" & pid=$!
    sleep 5
    QT_QPA_PLATFORM=xcb "$2" "$3"
    kill $pid 2>/dev/null || true
    wait $pid 2>/dev/null || true
' _ "$exe" "$root/build/src/tool/kickora-screenshot" "$shot"
echo "Kein Bildschirm gefunden: das Bildschirmfoto liegt unter $shot"

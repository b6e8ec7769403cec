#!/usr/bin/env bash
# Builds every format, installs the plug-in for this user (~/.vst3, ~/.lv2)
# and renders a few seconds of generated music through it.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/build.sh"

artefacts="$root/build/plugin/Marrowtone_artefacts/Release"
mkdir -p "$HOME/.vst3" "$HOME/.lv2"
rm -rf "$HOME/.vst3/Marrowtone.vst3" "$HOME/.lv2/Marrowtone.lv2"
cp -R "$artefacts/VST3/Marrowtone.vst3" "$HOME/.vst3/"
cp -R "$artefacts/LV2/Marrowtone.lv2" "$HOME/.lv2/"
echo "Installed $HOME/.vst3/Marrowtone.vst3 and $HOME/.lv2/Marrowtone.lv2"
echo "Standalone app: $artefacts/Standalone/Marrowtone"

demo="$root/build/demo"
mkdir -p "$demo"
"$root/build/tools/render/marrowtone-demo-music" "$demo/demo-dry.wav"
"$root/build/tools/render/marrowtone-render" "$demo/demo-dry.wav" "$demo/demo-marrowtone.wav" \
    --preset "Left In The Sun"
echo "Demo rendered through Marrowtone: $demo/demo-marrowtone.wav (dry: $demo/demo-dry.wav)"

#!/usr/bin/env bash
# Fails when an include climbs from a lower layer of src/ to a higher one.
#   scripts/check_layers.sh [ROOT]    checks ROOT/src (ROOT: this checkout)
# The layers are the folders of src/; what each may include is drawn in CONTRIBUTING.md
# ("Layout"), and the table below is that drawing: a folder may include itself and every folder
# a line of the drawing leads down to. A folder the table does not know fails too, so that a new
# one is placed in the drawing before it is used. Run by ctest as `check_layers`.
set -euo pipefail
root=${1:-"$(dirname "$0")/.."}
cd "$root"

declare -A may_include=(
    [engine]=""
    [catalogue]="engine"
    [simulator]="engine"
    [platform]="simulator engine"
    [records]="catalogue engine"
    [shell]="records platform catalogue simulator engine"
    [cli]="records platform catalogue simulator engine"
    [windows]="shell records platform catalogue simulator engine"
    [app]="windows shell records platform catalogue simulator engine"
)

# The layer a file belongs to: its folder under src/.
layer_of() {
    layer=${1#src/}
    layer=${layer%%/*}
}

faults=0
for folder in src/*/; do
    folder=${folder#src/}
    folder=${folder%/}
    if [ -z "${may_include[$folder]+known}" ]; then
        echo "src/$folder: a folder the layer drawing does not place (CONTRIBUTING.md, Layout)"
        faults=$((faults + 1))
    fi
done

# Every project include names its folder first: #include "folder/file.h".
include='^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"/]+)/'
while IFS=: read -r file line text; do
    [[ $text =~ $include ]] || continue
    target=${BASH_REMATCH[1]}
    layer_of "$file"
    [ "$target" = "$layer" ] && continue
    [ -n "${may_include[$layer]+known}" ] || continue  # reported above
    case " ${may_include[$layer]} " in
        *" $target "*) continue ;;
    esac
    echo "$file:$line: $layer may not include $target/ (it may include: ${may_include[$layer]:-only itself})"
    faults=$((faults + 1))
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"/]+/' src \
             --include='*.h' --include='*.cpp' --include='*.inc' || true)

if [ "$faults" -gt 0 ]; then
    echo "$faults fault(s) against the layer drawing"
    exit 1
fi
echo "layers hold: no include climbs"

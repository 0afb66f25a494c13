#!/bin/sh
# Checks that the product's includes only point down its layers, as CMakeLists.txt sets
# them out: each product_layer(<library> BELOW <libraries> SOURCES <files>) is a layer, its
# folder the folder of its sources, and it may include its own folder and the folders of
# the layers below it, all the way down. res/ (resource IDs and the medium format's
# definition, linked into every program) lies below every layer and includes only itself.
# The build links each layer's library alone with the layers below it, which catches
# calls; this catches the includes, inline code and tables of the headers too.
cd "$(dirname "$0")/.." || exit 2
# One line per folder: the folder, then every folder it may include.
table=$(awk '
    /^[ \t]*product_layer[ \t]*\(/ { open = 1; text = "" }
    open { text = text " " $0; if ($0 ~ /\)/) { open = 0; calls[++n] = text } }
    function down(layer, seen,    i, list) {
        list = folders[layer]
        for (i = 1; i <= nbelow[layer]; ++i)
            list = list " " down(below[layer, i])
        return list
    }
    END {
        for (c = 1; c <= n; ++c) {
            gsub(/[()]/, " ", calls[c])
            k = split(calls[c], w, /[ \t]+/)
            name = ""; mode = ""
            for (i = 1; i <= k; ++i) {
                if (w[i] == "" || w[i] == "product_layer") continue
                if (name == "") { name = w[i]; names[++layers] = name; continue }
                if (w[i] == "BELOW" || w[i] == "SOURCES") { mode = w[i]; continue }
                if (mode == "BELOW") below[name, ++nbelow[name]] = w[i]
                if (mode == "SOURCES" && w[i] ~ /\//) {
                    folder = w[i]; sub(/\/.*/, "", folder)
                    if (index(" " folders[name] " ", " " folder " ") == 0)
                        folders[name] = folders[name] " " folder
                }
            }
        }
        print "res res"
        for (l = 1; l <= layers; ++l) {
            split(folders[names[l]], own, " ")
            for (f in own)
                print own[f], down(names[l]), "res"
        }
    }' CMakeLists.txt)
[ -n "$table" ] || { echo "no product_layer in CMakeLists.txt"; exit 2; }
status=0
echo "$table" | {
bad=0
while read -r dir ok; do
    ok=$(echo $ok | tr ' ' '\n' | sort -u | tr '\n' ' ')
    for file in "$dir"/*.cpp "$dir"/*.h "$dir"/*.rc "$dir"/*.def; do
        [ -f "$file" ] || continue
        for target in $(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([a-z]*\)\/.*/\1/p' "$file"); do
            case " $ok " in
            *" $target "*) ;;
            *) echo "$file includes $target/: $dir/ may include only ${ok% }"; bad=1 ;;
            esac
        done
    done
done
exit $bad
} || status=1
[ $status = 0 ] && echo "every include points down a layer"
exit $status

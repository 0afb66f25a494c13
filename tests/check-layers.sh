#!/bin/sh
# Checks that the product's includes only point down its layers:
#   res/                  resource IDs: includes nothing of ours
#   base/                 process-wide state, bounded text, string loader
#   script/  gfx/         the setup script and install plan; drawing and the backdrop
#   engine/               one installation and its driver: copy, staging, commit, journal,
#                         restart list, registration, counts, outcome
#   pages/                page runner and wizard pages, the Installing page among them
#   app/  uninstall/      the two programs' entries: setup.exe and uninstal.exe
# A folder may include its own headers and those of the layers below it, never a folder
# beside it or above it. The build links each layer's library alone with the layers below
# it (product_layer in CMakeLists.txt), which catches calls; this catches the includes,
# inline code and tables of the headers too.
cd "$(dirname "$0")/.." || exit 2
allowed() {
    case $1 in
    res) echo "res" ;;
    base) echo "base res" ;;
    script) echo "script base res" ;;
    gfx) echo "gfx base res" ;;
    engine) echo "engine script base res" ;;
    pages) echo "pages engine script gfx base res" ;;
    app) echo "app pages engine script gfx base res" ;;
    uninstall) echo "uninstall engine script base res" ;;
    esac
}
status=0
for dir in res base script gfx engine pages app uninstall; do
    ok=$(allowed $dir)
    for file in $dir/*.cpp $dir/*.h $dir/*.rc; do
        [ -f "$file" ] || continue
        for target in $(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([a-z]*\)\/.*/\1/p' "$file"); do
            case " $ok " in
            *" $target "*) ;;
            *) echo "$file includes $target/: $dir/ may include only $ok"; status=1 ;;
            esac
        done
    done
done
[ $status = 0 ] && echo "every include points down a layer"
exit $status

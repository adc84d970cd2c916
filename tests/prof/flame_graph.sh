# oxel-prof's flame graph of a program that runs long enough to be sampled:
# well-formed XML holding a box per function with its samples and share,
# and, given Chromium, drawn by a browser to a PNG.
#   sh flame_graph.sh OXEL_PROF SCRATCH [CHROMIUM]
prof=$1 scratch=$2 chromium=$3
rm -rf "$scratch" && mkdir -p "$scratch" && cd "$scratch" || exit 1
cat >busy.ox <<'PROGRAM'
oxelfn inner.n
    (s. 0)
    lo200
        (s. s + n)
    rtn s
oxelfn outer.n
    (t. inner n)
    rtn t
(k. 0)
lo30000
    (v. outer k)
    (k. k + 1)
echo k
PROGRAM
"$prof" --svg graph.svg --report table.txt busy.ox >out.txt || { echo "oxel-prof failed"; exit 1; }
[ "$(cat out.txt)" = 30000 ] || { echo "wrong output: $(cat out.txt)"; exit 1; }
python3 -c '
import sys, xml.dom.minidom
document = xml.dom.minidom.parse(sys.argv[1])
boxes = [g for g in document.getElementsByTagName("g") if g.getAttribute("class") == "f"]
names = {g.getAttribute("data-n") for g in boxes}
assert {"__top", "outer", "inner"} <= names, names
for g in boxes:
    title = g.getElementsByTagName("title")[0].firstChild.data
    assert " samples, " in title and title.endswith("%)"), title
assert document.getElementsByTagName("script"), "no script"
' graph.svg || { echo "graph.svg is not the flame graph expected"; exit 1; }
if [ -n "$chromium" ]; then
    HOME="$scratch" "$chromium" --headless --no-sandbox --disable-gpu --screenshot="$scratch/graph.png" \
        --window-size=1220,300 "file://$scratch/graph.svg" >chromium.log 2>&1
    size=$(wc -c <graph.png 2>/dev/null || echo 0)
    [ "$size" -gt 2000 ] || { echo "Chromium drew no picture ($size bytes)"; cat chromium.log; exit 1; }
fi
echo "flame graph checked"

#!/usr/bin/env bash
# Times the whole sheet job, from the source file to the written sheet, against the tools users
# would pick instead: ImageMagick, GraphicsMagick and libvips, each doing the same job (same sheet
# size, same copies at the same places, same background), and against this machine's floor for
# the job (build/bench/floor-probe: reading the source, touching the sheet's pages once, the
# codec's encode on two threads, writing the bytes to a new file), all in one run.
#
#     bench/compare.sh [--runs N] [--quick] [--jobs a,b,cj,cb] [--overwrite] [--baseline CLI]
#
#   --runs N        timed runs of every command (default 20 for the A4 jobs, 5 for the others)
#   --quick         fewer runs, for trying the script out
#   --jobs LIST     only these jobs
#   --overwrite     every run replaces the output of the run before instead of writing a new file
#   --baseline CLI  times another build of kafelator-cli beside this one, e.g. one made before a
#                   change, and requires its sheets to be the same: byte for byte, or for JPEG
#                   the same pixels decoded
#   KEEP=1          in the environment keeps the work folder (sources, sheets, times.csv)
#
# Besides each tool's time, the tables give each job's time over the floor, kafelator-cli's time
# when its output already exists over its time writing a new file (the "replacing" command, and
# the baseline's alike), and each command's peak memory.
#
# Jobs, each from a generated photo-like JPEG source (bench sources are drawn by make-photo):
#   a   sheet 2480 x 3508 (A4 at 300 dpi), 600 x 800 source, JPEG quality 75
#   b   the same sheet saved as 24-bit BMP
#   cj  sheet 10000 x 10000, 1200 x 1600 source, JPEG quality 75
#   cb  the same sheet saved as 24-bit BMP
# Every tool's output is checked against ours before it is timed (byte for byte for BMP, by the
# luma of every 16 x 16 tile for JPEG); a tool whose sheet differs is reported and left out.
#
# Each timed run writes a new file: the previous output is removed and the disks synced before
# it, outside the timing, so no run pays for freeing the last run's blocks or waits on its
# writeback. (Replacing a file frees its old blocks within the writer's own time, rename
# included, and most dearly right after the new file was written, as a save that never loses the
# old file must: about 16 ms for an A4 BMP on a disk mounted with `discard`. --overwrite measures
# that case.) The machine is shared and noisy: quote the ratios of one run, not lone times.
set -euo pipefail

runs="" quick=0 jobs=a,b,cj,cb overwrite=0 baseline=""
while [[ $# -gt 0 ]]; do
    case "$1" in
    --runs) runs="$2"; shift 2 ;;
    --quick) quick=1; shift ;;
    --jobs) jobs="$2"; shift 2 ;;
    --overwrite) overwrite=1; shift ;;
    --baseline) baseline=$(realpath "$2"); shift 2 ;;
    *)
        echo "usage: bench/compare.sh [--runs N] [--quick] [--jobs a,b,cj,cb] [--overwrite]" \
            "[--baseline CLI]" >&2
        exit 2
        ;;
    esac
done

cd "$(dirname "$0")/.."
scripts/install-deps hyperfine imagemagick graphicsmagick libvips-tools time
cmake -S . -B build > /dev/null
cmake --build build -j 2 --target kafelator-cli make-photo sheet-check floor-probe > /dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/kafelator-compare-XXXXXX")
trap 'rm -rf "$work"' EXIT
[[ -n ${KEEP:-} ]] && trap - EXIT
cli=$PWD/build/kafelator-cli
check=$PWD/build/bench/sheet-check
floor=$PWD/build/bench/floor-probe

# Debian's own name for ImageMagick 6's convert, so that no other `convert` on the PATH is taken.
magick=$(command -v convert-im6.q16 || command -v convert)
# ImageMagick's Debian policy caps its pixel cache at 256 MiB, which makes a 10000 x 10000 sheet
# fail or come out short. A private policy raises the caps for these runs only; the system's
# policy file is left alone.
mkdir -p "$work/magick"
cat > "$work/magick/policy.xml" <<'EOF'
<policymap>
  <policy domain="resource" name="memory" value="4GiB"/>
  <policy domain="resource" name="map" value="8GiB"/>
  <policy domain="resource" name="area" value="1GP"/>
  <policy domain="resource" name="disk" value="16GiB"/>
</policymap>
EOF
export MAGICK_CONFIGURE_PATH=$work/magick

build/make-photo 600 800 "$work/photo-600x800.jpg"
build/make-photo 1200 1600 "$work/photo-1200x1600.jpg"

distance=50 margin=20 grey=128 background=szare quality=75
results=$work/results.txt
: > "$results"

# One job: the commands of the four tools, checked, then timed side by side. The commands are
# strings that both bash (eval) and hyperfine split alike, so arguments with parentheses are
# single-quoted.
#   RunJob NAME W H w h RUNS EXT
RunJob() {
    local name=$1 W=$2 H=$3 w=$4 h=$5 jobRuns=$6 ext=$7
    local source=$work/photo-${w}x$h.jpg
    local columns rows left top pitchX pitchY
    eval "$("$check" layout "$W" "$H" "$w" "$h" "$distance" "$margin")"
    local dir=$work/$name
    mkdir -p "$dir"

    local format=1 floorQuality=$quality tolerance=0.5 magickOut="$dir/magick.$ext" gmOut="$dir/gm.$ext"
    local vipsSave="$dir/vips.$ext[Q=$quality]"
    local encode=(-quality "$quality" -sampling-factor 2x2)
    if [[ $ext == bmp ]]; then
        format=0 floorQuality=0 tolerance=0
        # The 40-byte header form, 24 bits a pixel, as our sheet is written.
        magickOut="BMP3:$dir/magick.bmp" gmOut="BMP3:$dir/gm.bmp" vipsSave="$dir/vips.bmp[format=bmp3]"
        encode=(-type TrueColor)
    fi

    local job="-s $W,$H -d $distance -m $margin -b $background -f $format $source"
    local ours="$cli $job $dir/ours.$ext"

    # ImageMagick: the source read once, then pasted by -composite at each place.
    local canvas="-size ${W}x$H 'xc:rgb($grey,$grey,$grey)'"
    local im="$magick $canvas '(' $source -write mpr:photo +delete ')'"
    # GraphicsMagick has no in-memory copy: each place reads the source, then -mosaic lays them.
    local gm="gm convert $canvas +size"
    local r c
    for ((r = 0; r < rows; r++)); do
        for ((c = 0; c < columns; c++)); do
            im+=" mpr:photo -geometry +$((left + c * pitchX))+$((top + r * pitchY)) -composite"
            gm+=" -page +$((left + c * pitchX))+$((top + r * pitchY)) $source"
        done
    done
    im+=" ${encode[*]} $magickOut"
    gm+=" -mosaic ${encode[*]} $gmOut"
    # libvips: the copies joined in a grid of cells, then embedded in the sheet at its margin.
    local sources=""
    for ((r = 0; r < rows * columns; r++)); do sources+="$source "; done
    local vips="sh -c \"vips arrayjoin '$sources' $dir/grid.v --across $columns"
    vips+=" --hspacing $pitchX --vspacing $pitchY --background $grey"
    vips+=" && vips embed $dir/grid.v '$vipsSave' $left $top $W $H --extend background --background $grey\""

    # The floor: the same source and sheet, the least work any way of doing the job needs.
    local floorRun="$floor $source $W $H $distance $margin $grey $floorQuality $dir/floor.$ext"

    # "replacing" runs write over the output of the run before, whose file is put back (and
    # synced) before every run, outside the timing. The sheet is the same as that of a new file.
    local names=(kafelator-cli "kafelator-cli replacing" floor ImageMagick GraphicsMagick libvips)
    local commands=("$ours" "$cli $job $dir/replaced.$ext" "$floorRun" "$im" "$gm" "$vips")
    local outputs=("$dir/ours.$ext" "$dir/replaced.$ext" "$dir/floor.$ext" "$dir/magick.$ext"
        "$dir/gm.$ext" "$dir/vips.$ext")
    if [[ -n $baseline ]]; then
        names+=(baseline "baseline replacing")
        commands+=("$baseline $job $dir/baseline.$ext" "$baseline $job $dir/baseline-replaced.$ext")
        outputs+=("$dir/baseline.$ext" "$dir/baseline-replaced.$ext")
    fi
    local args=() i
    for i in "${!names[@]}"; do
        if ! eval "${commands[$i]}" > /dev/null 2>&1; then
            [[ $i -eq 0 ]] && { echo "compare: kafelator-cli failed at job $name" >&2; exit 1; }
            echo "compare: ${names[$i]} failed at job $name; left out" >&2
            continue
        fi
        case ${names[$i]} in
        floor) ;;
        kafelator-cli | "kafelator-cli replacing")
            if ! cmp -s "${outputs[0]}" "${outputs[$i]}"; then
                echo "compare: the sheet of ${names[$i]} differs from ours at job $name" >&2
                exit 1
            fi
            ;;
        baseline | "baseline replacing")
            # The same bytes for BMP; for JPEG, which older builds wrote without restart markers,
            # exactly the same pixels decoded.
            if ! cmp -s "${outputs[0]}" "${outputs[$i]}" &&
                ! "$check" compare "${outputs[0]}" "${outputs[$i]}" 0 > /dev/null; then
                echo "compare: the sheet of ${names[$i]} differs from ours at job $name" >&2
                exit 1
            fi
            ;;
        *)
            if ! "$check" compare "${outputs[0]}" "${outputs[$i]}" "$tolerance"; then
                echo "compare: ${names[$i]} made another sheet at job $name; left out" >&2
                continue
            fi
            ;;
        esac
        # Peak memory of one run, in MiB.
        local peak
        peak=$(eval "/usr/bin/time -f %M ${commands[$i]}" 2>&1 > /dev/null | tail -n 1)
        echo "$name ${names[$i]// /_} memory $((peak / 1024))" >> "$results"
        local prepare="sh -c 'rm -f ${outputs[$i]} $dir/grid.v; sync'"
        [[ $overwrite -eq 1 ]] && prepare=sync
        if [[ ${names[$i]} == *replacing ]]; then
            cp "${outputs[0]}" "$dir/previous.$ext"
            prepare="sh -c 'cp $dir/previous.$ext ${outputs[$i]}; sync'"
        fi
        args+=(-n "${names[$i]}" --prepare "$prepare" "${commands[$i]}")
    done
    hyperfine -N --style basic --warmup 1 --runs "$jobRuns" --export-csv "$dir/times.csv" "${args[@]}"
    # command,mean,stddev,median,user,system,min,max
    tail -n +2 "$dir/times.csv" | while IFS=, read -r command _ _ median _; do
        echo "$name ${command// /_} median $median" >> "$results"
    done
}

fastRuns=${runs:-20} slowRuns=${runs:-5}
[[ $quick -eq 1 ]] && fastRuns=${runs:-5} slowRuns=${runs:-2}
[[ ,$jobs, == *,a,* ]] && RunJob a 2480 3508 600 800 "$fastRuns" jpg
[[ ,$jobs, == *,b,* ]] && RunJob b 2480 3508 600 800 "$fastRuns" bmp
[[ ,$jobs, == *,cj,* ]] && RunJob cj 10000 10000 1200 1600 "$slowRuns" jpg
[[ ,$jobs, == *,cb,* ]] && RunJob cb 10000 10000 1200 1600 "$slowRuns" bmp

# The tables: each tool's median and its ratio to ours; ours against the floor and when replacing;
# each command's peak memory; the targets.
awk '
    function label(job) {
        return job == "a" ? "(a) A4 JPEG q75" : job == "b" ? "(b) A4 BMP" : \
               job == "cj" ? "(c) 10000^2 JPEG q75" : "(c) 10000^2 BMP"
    }
    function ratio(x, y) { return (x == "" || y == "") ? "-" : sprintf("%.2fx", x / y) }
    $3 == "median" { t[$1, $2] = $4; jobs[$1] = 1; if ($2 == "baseline") withBaseline = 1 }
    $3 == "memory" { m[$1, $2] = $4 }
    END {
        split("a b cj cb", order, " ")
        peerCount = split("ImageMagick GraphicsMagick libvips", peers, " ")
        if (withBaseline) peers[++peerCount] = "baseline"
        header = "| job | kafelator-cli |"
        rule = "|---|---|"
        for (p = 1; p <= peerCount; p++) { header = header " " peers[p] " |"; rule = rule "---|" }
        printf "\n%s fastest peer / ours |\n%s---|\n", header, rule
        for (j = 1; j <= 4; j++) {
            job = order[j]
            if (!(job in jobs)) continue
            ours = t[job, "kafelator-cli"]
            line = sprintf("| %s | %.3f s |", label(job), ours)
            best[job] = 0
            for (p = 1; p <= peerCount; p++) {
                v = t[job, peers[p]]
                if (v == "") { line = line " left out |"; continue }
                line = line sprintf(" %.3f s (%.1fx) |", v, v / ours)
                if (peers[p] != "baseline" && (best[job] == 0 || v < best[job])) best[job] = v
            }
            printf "%s %s |\n", line, (best[job] > 0 ? sprintf("%.1fx", best[job] / ours) : "-")
        }

        printf "\n| job | floor | ours / floor | replacing | replacing / new |"
        printf (withBaseline ? " baseline / floor | baseline replacing / new |\n" : "\n")
        printf "|---|---|---|---|---|%s\n", (withBaseline ? "---|---|" : "")
        for (j = 1; j <= 4; j++) {
            job = order[j]
            if (!(job in jobs)) continue
            ours = t[job, "kafelator-cli"]; fl = t[job, "floor"]; re = t[job, "kafelator-cli_replacing"]
            line = sprintf("| %s | %.3f s | %s | %.3f s | %s |", label(job), fl, ratio(ours, fl), re, \
                           ratio(re, ours))
            if (withBaseline)
                line = line sprintf(" %s | %s |", ratio(t[job, "baseline"], fl), \
                                    ratio(t[job, "baseline_replacing"], t[job, "baseline"]))
            print line
        }

        printf "\n| peak memory, MiB | kafelator-cli | floor |"
        for (p = 1; p <= peerCount; p++) printf " %s |", peers[p]
        printf "\n|---|---|---|%s\n", substr(rule, 10)
        for (j = 1; j <= 4; j++) {
            job = order[j]
            if (!(job in jobs)) continue
            line = sprintf("| %s | %s | %s |", label(job), m[job, "kafelator-cli"], m[job, "floor"])
            for (p = 1; p <= peerCount; p++)
                line = line sprintf(" %s |", (m[job, peers[p]] == "" ? "-" : m[job, peers[p]]))
            print line
        }

        # The targets: how many times faster than a peer, the peak memory of the large jobs, and
        # for every job the times over the new file and over the floor.
        split("a:ImageMagick:6 b:ImageMagick:7 cj:libvips:5 cb:ImageMagick:8", goals, " ")
        printf "\n| job | target | measured |\n|---|---|---|\n"
        for (g = 1; g <= 4; g++) {
            split(goals[g], goal, ":")
            job = goal[1]
            if (!(job in jobs)) continue
            peer = t[job, goal[2]]; ours = t[job, "kafelator-cli"]
            printf "| %s | at least %dx faster than %s | %s |\n", label(job), goal[3], goal[2], \
                   (peer == "" ? "-" : sprintf("%.1fx", peer / ours))
            if (job == "cj" || job == "cb")
                printf "| %s | peak memory at most 40 MiB | %s MiB |\n", label(job), m[job, "kafelator-cli"]
            printf "| %s | replacing at most 1.3x a new file | %s |\n", label(job), \
                   ratio(t[job, "kafelator-cli_replacing"], ours)
            printf "| %s | at most 1.3x the floor | %s |\n", label(job), ratio(ours, t[job, "floor"])
        }
    }' "$results"

#!/bin/bash
# environment_test.sh: the missing-package step of scripts/lib.sh
# (ensure_environment) against stand-ins for dpkg, dpkg-query, apt-get and
# locale, which record what they are asked and change nothing on this machine.
# Each case gives the installed packages and dpkg's foreign architectures, and
# the commands it expects, in order ("-" for none at all).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
lib=$here/../../scripts/lib.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

mkdir "$work/bin"
# dpkg-query -W [-f=FORMAT] NAME...: NAME or NAME:ARCH looked up in $FAKE_DB
# ("name arch" lines, all installed); FORMAT fields ${Package},
# ${Architecture}, ${Status}; unknown names go to stderr with exit 1, as dpkg does.
cat >"$work/bin/dpkg-query" <<'EOF'
#!/bin/bash
format='${Package}\n' names=() rc=0
for a in "$@"; do
  case $a in -W) ;; -f=*) format=${a#-f=} ;; -f) ;; *) names+=("$a") ;; esac
done
for n in "${names[@]}"; do
  found=0
  while read -r name arch; do
    [[ $n == "$name" || $n == "$name:$arch" ]] || continue
    found=1
    line=${format//'${Package}'/$name}; line=${line//'${Architecture}'/$arch}
    line=${line//'${Status}'/install ok installed}
    printf "$line"
  done <"$FAKE_DB"
  ((found)) || { echo "dpkg-query: no packages found matching $n" >&2; rc=1; }
done
exit $rc
EOF
cat >"$work/bin/dpkg" <<'EOF'
#!/bin/bash
case $1 in
  --print-architecture) echo amd64 ;;
  --print-foreign-architectures) cat "$FAKE_FOREIGN" ;;
  *) echo "dpkg $*" >>"$FAKE_LOG" ;;
esac
EOF
cat >"$work/bin/apt-get" <<'EOF'
#!/bin/bash
echo "apt-get $*" >>"$FAKE_LOG"
EOF
# Not root: sudo would reset PATH and reach the real apt-get.
cat >"$work/bin/sudo" <<'EOF'
#!/bin/bash
exec "$@"
EOF
cat >"$work/bin/locale" <<'EOF'
#!/bin/bash
[[ $1 == -a ]] && printf 'C\nC.utf8\nzh_CN.utf8\n'
EOF
chmod +x "$work/bin/"*

# run_case NAME MISSING FOREIGN EXPECTED...: every package of LUMENO_PACKAGES
# but the space-separated MISSING is installed (":arch" names as that arch,
# the others as amd64); FOREIGN lists dpkg's foreign architectures.
run_case() {
  local name=$1 missing=" $2 " foreign=$3; shift 3
  local expected actual p
  : >"$work/log"
  printf '%s\n' $foreign >"$work/foreign"
  (
    # As scripts/test, scripts/run and scripts/bench run it.
    set -euo pipefail
    source "$lib"
    for p in "${LUMENO_PACKAGES[@]}"; do
      [[ $missing == *" $p "* ]] && continue
      if [[ $p == *:* ]]; then echo "${p%%:*} ${p##*:}"; else echo "$p amd64"; fi
    done >"$work/db"
    export PATH=$work/bin:$PATH FAKE_DB=$work/db FAKE_FOREIGN=$work/foreign FAKE_LOG=$work/log
    ensure_environment
  ) >"$work/out" 2>&1 || { echo "FAIL: $name: ensure_environment failed:"; cat "$work/out"; failures=$((failures + 1)); return; }
  # The packages of an install line in any order.
  sorted() { while read -r line; do
    if [[ $line == "apt-get install -y -q "* ]]; then
      echo "apt-get install -y -q $(printf '%s\n' ${line#apt-get install -y -q } | sort | tr '\n' ' ')"
    else echo "$line"; fi
  done; }
  actual=$(sed -e 's/DEBIAN_FRONTEND=noninteractive //' "$work/log" | sorted)
  expected=$(printf '%s\n' "$@" | sorted)
  [[ $expected == - ]] && expected=
  if [[ $actual == "$expected" ]]; then
    echo "ok: $name"
  else
    echo "FAIL: $name"; echo "  expected: ${expected//$'\n'/ | }"; echo "  actual:   ${actual//$'\n'/ | }"
    failures=$((failures + 1))
  fi
}

run_case "all present: no package server is asked" "" "i386" -
run_case "wine32 on a machine without i386: the architecture comes first" "wine32:i386" "" \
  "dpkg --add-architecture i386" "apt-get update -q" "apt-get install -y -q wine32:i386"
run_case "wine32 with i386 already known" "wine32:i386" "i386" \
  "apt-get update -q" "apt-get install -y -q wine32:i386"
run_case "a native package only: no architecture added" "cmake wine64" "" \
  "apt-get update -q" "apt-get install -y -q cmake wine64"
run_case "other foreign architectures do not count as i386" "xvfb wine32:i386" "armhf arm64" \
  "dpkg --add-architecture i386" "apt-get update -q" "apt-get install -y -q xvfb wine32:i386"

if ((failures)); then echo "environment: $failures failure(s)"; exit 1; fi
echo "environment: the missing-package step asks for exactly what is missing"

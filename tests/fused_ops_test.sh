#!/bin/sh
# The floating-point contract in the AArch64 code, where GCC fuses a
# multiplication and an addition into one instruction (one rounding instead
# of two) unless told not to: every compile of the build has -ffp-contract=off,
# and the disassembly of the programs and of the project's own libraries
# (every drawing step, the oracles' too) holds no fused multiply-add,
# scalar or vector. escapeplot's NEON path is there, stepping two doubles per
# instruction with vector square roots.
#   fused_ops_test.sh OBJDUMP COMPILE_COMMANDS ESCAPEPLOT FILE...
set -eu
objdump=$1 commands=$2 escapeplot=$3
shift 3
status=0

compiles=$(grep -c '"command"' "$commands")
unflagged=$(grep '"command"' "$commands" | grep -vc -- '-ffp-contract=off' || true)
echo "$compiles compiles, $unflagged without -ffp-contract=off"
if [ "$unflagged" -ne 0 ]; then
  grep '"command"' "$commands" | grep -v -- '-ffp-contract=off'
  status=1
fi

fused='(fmadd|fmsub|fnmadd|fnmsub|fmla|fmls)'
for file in "$escapeplot" "$@"; do
  listing=$("$objdump" -d --no-show-raw-insn "$file")
  fp=$(printf '%s\n' "$listing" | grep -cE '^ +[0-9a-f]+:[[:space:]]+f[a-z]+' || true)
  found=$(printf '%s\n' "$listing" | grep -E "^ +[0-9a-f]+:[[:space:]]+$fused[[:space:]]" || true)
  echo "$(basename "$file"): $fp floating-point instructions, $(printf '%s' "$found" | grep -c . || true) fused"
  if [ -n "$found" ]; then
    printf '%s\n' "$found" | head -n 20
    status=1
  fi
done

# The NEON path: its own function, with vector square roots on two doubles.
neon=$("$objdump" -d --no-show-raw-insn "$escapeplot" |
  awk '/^[0-9a-f]+ <.*drawNeon.*>:$/ { inside = 1; next } /^$/ { inside = 0 } inside')
roots=$(printf '%s\n' "$neon" | grep -cE 'fsqrt[[:space:]]+v[0-9]+\.2d' || true)
products=$(printf '%s\n' "$neon" | grep -cE 'fmul[[:space:]]+v[0-9]+\.2d' || true)
echo "escapeplot's drawNeon: $(printf '%s\n' "$neon" | grep -c . || true) instructions, $roots vector square roots, $products vector products"
if [ "$roots" -eq 0 ] || [ "$products" -eq 0 ]; then
  echo "escapeplot has no NEON path stepping two doubles per instruction"
  status=1
fi
exit $status

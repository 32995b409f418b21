#!/usr/bin/env bash
# signing_test.sh SOURCE_DIR WORK_DIR
# Signs setup.exe through the build, with a throwaway self-signed code-signing certificate: in
# WORK_DIR/first/windows, the reproducibility test's first tree, configured anew with the signing
# options. The unsigned program of WORK_DIR/second/windows is the reference. Checks the refusals of half-given
# options, the signature, that the signature is all that changed, that the signed program runs under
# Wine, that a changed byte fails the verification, and what a build without the password does.
set -euo pipefail
source_dir=$1
work=$2
tree=$work/first/windows
program=$tree/programs/setup.exe
unsigned=$work/second/windows/programs/setup.exe
signing=$work/signing
fail() { echo "signing_test: $*" >&2; exit 1; }

rm -rf "$signing"
mkdir -p "$signing"
password="pw-$(openssl rand -hex 16)"
export VANTOR_TEST_SIGN_PASSWORD=$password
openssl req -x509 -newkey rsa:2048 -nodes -days 30 -subj "/CN=Vantor throwaway signing" \
  -addext extendedKeyUsage=codeSigning -addext keyUsage=digitalSignature \
  -keyout "$signing/key.pem" -out "$signing/cert.pem" 2>"$signing/openssl.log"
openssl pkcs12 -export -inkey "$signing/key.pem" -in "$signing/cert.pem" \
  -out "$signing/cert.p12" -passout env:VANTOR_TEST_SIGN_PASSWORD
rm "$signing/key.pem"
p12=$signing/cert.p12

# sign-program itself takes nothing but a variable's name for the password's variable: a subscript
# in it would run code when the variable is read, and a password typed there is not repeated. Each
# refusal leaves no program behind, as every failure to sign does.
refused_names=(
  "a[\$(touch $signing/ran)]" "VANTOR_TEST_SIGN_PASSWORD[\$(touch $signing/ran)]"
  "VANTOR_TEST_SIGN_PASSWORD[0]" "$password" "1PASSWORD" "PASS WORD" ""
)
not_a_name="sign-program: tiny.exe is not signed: PASSWORD_VARIABLE is the name of an environment variable, such as VANTOR_SIGN_PASSWORD, and what was given is not a name (the password itself never goes there)"
for name in "${refused_names[@]}"; do
  printf 'MZ' >"$signing/tiny.exe"
  status=0
  "$source_dir/packaging/sign-program" "$signing/tiny.exe" "$p12" "$name" >"$signing/name.log" 2>&1 ||
    status=$?
  if [ "$status" -ne 1 ] || [ -e "$signing/ran" ] || [ -e "$signing/tiny.exe" ] ||
    [ "$(cat "$signing/name.log")" != "$not_a_name" ]; then
    cat "$signing/name.log"
    fail "sign-program took \"$name\" as a variable's name (status $status)"
  fi
done

# Half-given options stop the configuration, and say what is missing.
expect_refusal() {
  local expected=$1
  shift
  rm -rf "$signing/half"
  if cmake -S "$source_dir" --preset windows -B "$signing/half" "$@" >"$signing/half.log" 2>&1; then
    fail "configured with only $*"
  fi
  tr -s ' \n' ' ' <"$signing/half.log" | grep -qF "$expected" ||
    { cat "$signing/half.log"; fail "with only $*, no \"$expected\""; }
}
expect_refusal "VANTOR_SIGN_PKCS12 is given but VANTOR_SIGN_PASSWORD_ENV is not" \
  -DVANTOR_SIGN_PKCS12="$p12"
expect_refusal "VANTOR_SIGN_PASSWORD_ENV is given but VANTOR_SIGN_PKCS12 is not" \
  -DVANTOR_SIGN_PASSWORD_ENV=VANTOR_TEST_SIGN_PASSWORD
expect_refusal "VANTOR_SIGN_TIMESTAMP_URL is given but VANTOR_SIGN_PKCS12 is not" \
  -DVANTOR_SIGN_TIMESTAMP_URL=http://timestamp.invalid
# A password given where the variable's name belongs is neither shown nor kept.
expect_refusal "what was given is not a name. The password itself never goes here" \
  -DVANTOR_SIGN_PKCS12="$p12" -DVANTOR_SIGN_PASSWORD_ENV="$password"
if grep -lF "$password" "$signing/half.log" "$signing/half/CMakeCache.txt"; then
  fail "a password given as the variable's name is in these files"
fi
expect_refusal "VANTOR_SIGN_PKCS12: there is no file $signing/none.p12" \
  -DVANTOR_SIGN_PKCS12="$signing/none.p12" -DVANTOR_SIGN_PASSWORD_ENV=VANTOR_TEST_SIGN_PASSWORD

# The build signs the program after its link; the password is nowhere in the build's files.
cmake "$tree" -DVANTOR_SIGN_PKCS12="$p12" -DVANTOR_SIGN_PASSWORD_ENV=VANTOR_TEST_SIGN_PASSWORD \
  >"$signing/configure.log" 2>&1 || { cat "$signing/configure.log"; fail "configure"; }
rm -f "$program"  # linked anew, whatever an earlier run left
cmake --build "$tree" --target setup >"$signing/build.log" 2>&1 ||
  { cat "$signing/build.log"; fail "the signed build failed"; }
grep -qxF "sign-program: setup.exe signed with $p12" "$signing/build.log" || fail "the build did not sign"
if grep -rlF "$password" "$tree" "$signing"/*.log; then fail "the password is in these files"; fi

osslsigncode verify -CAfile "$signing/cert.pem" -in "$program" >"$signing/verify.log" 2>&1 ||
  { cat "$signing/verify.log"; fail "the signed program does not verify"; }
grep -q "Subject: /CN=Vantor throwaway signing" "$signing/verify.log" || fail "signed by whom?"
grep -q "Message digest algorithm  *: SHA256" "$signing/verify.log" || fail "not a SHA-256 digest"

# The signature is all that signing added: without it, the program is the unsigned build's.
osslsigncode remove-signature -in "$program" -out "$signing/stripped.exe" >/dev/null
cmp "$signing/stripped.exe" "$unsigned" || fail "signing changed more than the signature"

# The signed program still runs: quiet, without a mixer, it ends with 20.
status=0
VANTOR_WINEPREFIX=$work/wineprefix DISPLAY='' "$source_dir/scripts/wine-run" "$program" -quiet \
  >"$signing/run.log" 2>&1 || status=$?
[ "$status" -eq 20 ] && [ "$(tail -n 1 "$signing/run.log")" = "exit code: 20 (0x00000014)" ] ||
  { cat "$signing/run.log"; fail "the signed program ended with status $status"; }

# One changed byte, in the middle of the firmware images, breaks the signature.
cp "$program" "$signing/changed.exe"
offset=$(($(stat -c %s "$program") / 2))
byte=$(od -An -tu1 -j "$offset" -N1 "$program" | tr -d ' ')
printf "$(printf '\\%03o' $(((byte + 1) % 256)))" |
  dd of="$signing/changed.exe" bs=1 seek="$offset" conv=notrunc status=none
cmp -s "$program" "$signing/changed.exe" && fail "the byte was not changed"
if osslsigncode verify -CAfile "$signing/cert.pem" -in "$signing/changed.exe" \
  >"$signing/verify-changed.log" 2>&1; then
  fail "a program with a changed byte verifies"
fi

# Without the password, or with a wrong one, the build fails, says why, and leaves no program.
rm -f "$program"
status=0
env -u VANTOR_TEST_SIGN_PASSWORD cmake --build "$tree" --target setup >"$signing/nopass.log" 2>&1 ||
  status=$?
[ "$status" -ne 0 ] || fail "the build without the password succeeded"
grep -qF "sign-program: setup.exe is not signed: the password of $p12 belongs in the environment variable VANTOR_TEST_SIGN_PASSWORD, which is not set" \
  "$signing/nopass.log" || { cat "$signing/nopass.log"; fail "no reason given"; }
[ ! -e "$program" ] || fail "an unsigned program is left"
status=0
VANTOR_TEST_SIGN_PASSWORD=wrong cmake --build "$tree" --target setup >"$signing/wrong.log" 2>&1 ||
  status=$?
[ "$status" -ne 0 ] || fail "the build with a wrong password succeeded"
grep -qF "osslsigncode failed (is the password in VANTOR_TEST_SIGN_PASSWORD the one of $p12?)" \
  "$signing/wrong.log" || { cat "$signing/wrong.log"; fail "no reason given"; }
[ ! -e "$program" ] || fail "an unsigned program is left"
echo "signing_test: setup.exe signed, verified, run under Wine; a changed byte fails verification"

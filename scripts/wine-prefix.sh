#!/bin/bash
# Makes the project's Wine prefix once: a 64-bit prefix whose Japanese UI
# fonts map to the installed IPA Gothic faces (Wine ships no Japanese fonts).
set -u
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
STAMP="$WINEPREFIX/.vellumcraft-prefix-v6"

# Drive S: stands for a network drive: the tests and benchmarks that need a
# share answering late put their entries there and make it slow
# (tests/slowfs). A folder of the prefix, linked on every run, so a prefix
# made before has it too.
network_drive() {
  [[ -d "$WINEPREFIX/dosdevices" ]] || return 0
  mkdir -p "$WINEPREFIX/drive_s" && ln -sfn ../drive_s "$WINEPREFIX/dosdevices/s:"
}
network_drive
[[ -f "$STAMP" ]] && exit 0

# The stamp goes on only when every step below worked: a prefix that missed
# one (a font mapping, the debugger switched off) is set up again next time.
failed=()
step() {
  "$@" >/dev/null 2>&1 || failed+=("$*")
}

mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1 || { echo "wine-prefix: wineboot failed" >&2; exit 1; }
step network_drive

# A new prefix links the user's Desktop, Documents, Music and the like to the
# real home folder. Tests and benchmarks fill those folders with their own
# files, so they become folders of the prefix instead.
for link in "$WINEPREFIX"/drive_c/users/*/*; do
  if [[ -L "$link" ]]; then
    step rm -f "$link"
    step mkdir -p "$link"
  fi
done

# Wine's own faces (Marlett for the caption buttons, Tahoma) where this
# Wine build looks for fonts.
if [[ -d /usr/share/wine/fonts ]]; then
  step cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
fi

FONT_FILE=ipagp.ttf
FACE="IPAPGothic"
# The face the mappings below point to must be there for Wine to find.
step fc-list -q "$FACE"
REPL='HKCU\Software\Wine\Fonts\Replacements'
for name in "ＭＳ Ｐゴシック" "ＭＳ ゴシック" "MS PGothic" "MS Gothic" "MS UI Gothic" "Yu Gothic UI" "Meiryo UI" "メイリオ"; do
  step wine reg add "$REPL" /v "$name" /t REG_SZ /d "$FACE" /f
done
# Captions are drawn in bold, where Wine's font linking does not reach the
# Japanese face: the caption font is a Japanese one (LOGFONTW: -11, bold,
# "Yu Gothic UI", which the replacements above turn into IPA Gothic).
step wine reg add 'HKCU\Control Panel\Desktop\WindowMetrics' /v CaptionFont /t REG_BINARY /d \
  f5ffffff000000000000000000000000bc020000000000000000002259007500200047006f00740068006900630020005500490000000000000000000000000000000000000000000000000000000000000000000000000000000000 \
  /f
LINK='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
for name in "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2" "Segoe UI"; do
  step wine reg add "$LINK" /v "$name" /t REG_MULTI_SZ /d "$FONT_FILE,$FACE" /f
done
# Every program runs inside one Wine desktop window: windows get their
# frames as on Windows, and hiding a window does not wait for a window
# manager that the virtual display does not have.
# As large as a 13-inch laptop's screen, so that the dialogs are whole at
# 192 DPI (200 %) too.
step wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f
step wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 2560x1600 /f
# A crashing test program ends with its exit code instead of waiting in a
# debugger that nobody will attach to. What counts is that the value is gone:
# a set-up tried again finds it deleted already.
AEDEBUG='HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug'
wine reg delete "$AEDEBUG" /v Debugger /f >/dev/null 2>&1
wine reg query "$AEDEBUG" /v Debugger >/dev/null 2>&1 && failed+=("wine reg delete $AEDEBUG /v Debugger")
step wineserver -w

if [[ ${#failed[@]} -gt 0 ]]; then
  echo "wine-prefix: the prefix is not marked ready; these steps failed:" >&2
  printf '  %s\n' "${failed[@]}" >&2
  exit 1
fi
touch "$STAMP"

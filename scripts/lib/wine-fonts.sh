# Shared by the wine scripts (sourced): the faces a lane's wine prefix sees.
#
# Wine takes its fonts from fontconfig, and with them the machine's aliases: with
# fonts-liberation or fonts-urw-base35 installed it draws "Tahoma" and "Arial Black" in
# whatever those map to, and it never loads the Tahoma of fonts-wine at all. So the text of a
# Windows lane would depend on what else the machine has. Instead the lane's wine gets a
# fontconfig configuration of its own that lists only the faces the options window asks for:
# wine's Tahoma (fonts-wine) and, standing in for Arial Black, which no Debian package has,
# DejaVu Sans Bold and its oblique (fonts-dejavu-core and -extra), the same heavy face the
# portable back end uses.

# Raise this whenever the faces or the substitutes change: a prefix set up with other faces is
# then cleaned of them.
readonly VF_WINE_FONTS_VERSION=1

vf_wine_faces=(
  /usr/share/wine/fonts/tahoma.ttf
  /usr/share/wine/fonts/tahomabd.ttf
  /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
  /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
  /usr/share/fonts/truetype/dejavu/DejaVuSans-BoldOblique.ttf
)

# Writes the configuration under BUILD/wine-fonts and exports FONTCONFIG_FILE for every wine
# process started from here on. Usage: vf_wine_fonts_config BUILD
vf_wine_fonts_config() {
  local dir="$1/wine-fonts" face
  mkdir -p "$dir/faces" "$dir/cache"
  for face in "${vf_wine_faces[@]}"; do
    [[ -f $face ]] || { echo "wine-fonts: $face is missing (scripts/ensure-packages.sh installs it)" >&2; return 1; }
    cmp -s "$face" "$dir/faces/${face##*/}" || cp "$face" "$dir/faces/"
  done
  cat >"$dir/fonts.conf" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<!-- Made by scripts/lib/wine-fonts.sh: only these faces, none of the machine's fonts or aliases. -->
<fontconfig>
  <dir>$dir/faces</dir>
  <cachedir>$dir/cache</cachedir>
</fontconfig>
EOF
  export FONTCONFIG_FILE="$dir/fonts.conf"
}

# Once per prefix and version: forgets the fonts an earlier configuration brought (wine keeps
# every face it once found in the registry and loads it again), and names the stand-in for
# Arial Black. Needs the prefix's wine server running. Usage: vf_wine_fonts_prefix LOADER
vf_wine_fonts_prefix() {
  local loader=$1 stamp="$WINEPREFIX/.vf-fonts-$VF_WINE_FONTS_VERSION"
  [[ -f $stamp ]] && return 0
  "$loader" reg delete 'HKCU\Software\Wine\Fonts\External Fonts' /f >/dev/null 2>&1 || true
  "$loader" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
    /v 'Arial Black' /t REG_SZ /d 'DejaVu Sans' /f >/dev/null 2>&1
  touch "$stamp"
}

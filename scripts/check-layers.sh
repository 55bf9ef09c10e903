#!/bin/bash
# Fails when a file includes a header of a layer above its own, or of a
# sibling layer beside it, or names a setting outside the settings table (at
# the end).
# Layers, bottom to top (a folder may include only
# folders of a lower rank, and itself):
#   0 platform, platform/calendar (the calendar and contact files, on platform)
#   1 datetime, client/foundation, web (the web data component: platform only),
#     calendarwatch (the calendar watcher program: platform and its calendar only)
#   2 client/dialogs, client/messaging (the multicast protocol), client/webview (the web
#     engine's library, loaded at run time: the foundation's view interface only)
#   3 client/status
#   4 client/admin, client/resources, client/mail
#   5 client/tray (the tray window, notices, instant messages, chat)
#   6 client/mainwindow
#   7 client/app
# Tests and benchmarks sit above everything and are not checked.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A rank=([platform]=0 [platform/calendar]=0 [datetime]=1 [foundation]=1 [web]=1 [calendarwatch]=1 [dialogs]=2 [messaging]=2 [webview]=2 [status]=3
                 [admin]=4 [resources]=4 [mail]=4 [tray]=5 [mainwindow]=6 [app]=7)

layer_of() { # a file's or an include's folder, as the table names it
  local dir="${1%/*}"
  dir="${dir#client/}"
  echo "$dir"
}

# The programs' sources, every folder below these included (quoted, so that
# git matches them, not the shell).
sources=('platform/*.cpp' 'platform/*.h' 'datetime/*.cpp' 'datetime/*.h' 'web/*.cpp' 'web/*.h'
         'calendarwatch/*.cpp' 'calendarwatch/*.h' 'client/*.cpp' 'client/*.h')

bad=0
while IFS= read -r file; do
  from="$(layer_of "$file")"
  [ -n "${rank[$from]+x}" ] || { echo "no layer for $file"; bad=1; continue; }
  while IFS= read -r line; do
    header="${line#*\"}"; header="${header%%\"*}"
    [[ "$header" == */* ]] || continue          # a header of the file's own folder
    to="$(layer_of "$header")"
    [ "$to" = "$from" ] && continue
    [[ "$from" == "$to"/* ]] && continue          # a subfolder sits on its folder
    if [ -z "${rank[$to]+x}" ] || [ "${rank[$to]}" -ge "${rank[$from]}" ]; then
      echo "$file includes $header: layer '$to' is not below '$from'"
      bad=1
    fi
  done < <(grep -E '^\s*#\s*include\s+"' "$file" || true)
done < <(git ls-files "${sources[@]}")

[ "$bad" -eq 0 ] && echo "layers: no include runs upward"

# Settings are named only in platform/SettingsKeys.h. Refused elsewhere in the
# programs' sources (tests may name what they check is stored):
#  - a registry read, write or delete, or GetRegistryValue/SetRegistryValue,
#    given a quoted name (the routines' own files excepted);
#  - a quoted key path ("Software\...") or a quoted value name of the table.
#    Names that are also plain words, column names or captions are left out:
plain_words='Name Type Server Connection Driver Database Description Left Top Width Height Contacts Notes Search Exclusive Collate'
literal='(QStringLiteral\(|QLatin1String\(|QString::fromLatin1\(|u?")'
arg='[^,()]*(\([^()]*\))?[^,()]*'
calls="\\b[GS]etRegistryValue\\(\\s*$literal|Registry::(readString|readDword|queryValue|writeString|writeDword|deleteValue)\\(\\s*$arg,\\s*$arg,\\s*$literal"
names=$(grep -oP '^inline constexpr SettingKey \w+\s*\{\w+,\s*\w+,\s*"\K[^"]+' platform/SettingsKeys.h | sort -u)
quoted="\"Software\\\\"
for n in $names; do
  [[ " $plain_words " == *" $n "* ]] || quoted+="|\"$n\""
done
without_comments() { sed -E 's#(^|[[:space:]])//.*##' "$1" | tr '\n' ' '; }
settings_bad=0
while IFS= read -r file; do
  case "$file" in platform/SettingsKeys.h) continue ;; esac
  case "$file" in
    platform/SettingKey.*|platform/Registry.*|client/foundation/MCIFunctions.cpp) ;;
    *) if without_comments "$file" | grep -qP "$calls"; then
         echo "$file: a setting read or written by a quoted name; name it in platform/SettingsKeys.h"; settings_bad=1
       fi ;;
  esac
  if found=$(without_comments "$file" | grep -oP "$quoted" | sort -u | tr '\n' ' ') && [ -n "$found" ]; then
    echo "$file: $found- settings are named in platform/SettingsKeys.h"; settings_bad=1
  fi
done < <(git ls-files "${sources[@]}")
[ "$settings_bad" -eq 0 ] && echo "settings: every key named in the table"
[ "$bad" -eq 0 ] && [ "$settings_bad" -eq 0 ]

#!/bin/bash
# Fails when a file includes a header of a layer above its own or of a sibling
# layer beside it, in either form ("..." or <...>), or climbs out of its folder
# ("../"); when a rule layer includes a header of Qt's widget modules; when the
# busy kinds' settings are named outside their one table; when a setting is
# named outside the settings table; or when a setting is read or written but
# through its key of that table (at the end). The build holds the layers
# too, by what each library links (see tessaly_include_root and
# tessaly_link_check in CMakeLists.txt); this script reads the sources, so it
# also sees what the build lets by, such as a path relative to the file.
# Layers, bottom to top (a folder may include only folders of a lower rank, and
# itself):
#   0 platform
#   1 platform/calendar (the calendar and contact files, on platform), datetime,
#     client/foundation, web (the web data component: platform only),
#     client/pagereader (the text pane's page reader, its own program: platform,
#     Qt Gui and the HTML parser only)
#   2 calendarwatch (the calendar watcher program: platform and its calendar
#     only), calendarcheck (the calendar's helper program: the same), client/dialogs, client/messaging (the multicast protocol),
#     client/webview (the web engine's library, loaded at run time: the
#     foundation's view interface only)
#   3 client/status
#   4 client/admin, client/resources, client/mail
#   5 client/tray (the tray window, notices, instant messages, chat)
#   6 client/mainwindow
#   7 client/app
# Tests and benchmarks sit above everything and are not checked.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A rank=([platform]=0 [platform/calendar]=1 [datetime]=1 [foundation]=1 [web]=1 [pagereader]=1 [calendarwatch]=2 [calendarcheck]=2 [dialogs]=2
                 [messaging]=2 [webview]=2 [status]=3 [admin]=4 [resources]=4 [mail]=4 [tray]=5 [mainwindow]=6 [app]=7)

layer_of() { # a file's or an include's folder, as the table names it
  local dir="${1%/*}"
  dir="${dir#client/}"
  echo "$dir"
}

# The first folder of every layer's path: an include <x/...> is ours when x is
# one of these, else a library's (<sys/types.h>, <QtCore/qnamespace.h>).
declare -A ours=([client]=1)
for layer in "${!rank[@]}"; do ours[${layer%%/*}]=1; done

# The rule layers, as the build names them (client/<folder>).
read -r -a rule_layers <<<"$(sed -n 's/^set(TESSALY_RULE_LAYERS \(.*\))$/\1/p' CMakeLists.txt)"
[ "${#rule_layers[@]}" -gt 0 ] || { echo "no rule layers in CMakeLists.txt (set(TESSALY_RULE_LAYERS ...))"; exit 1; }

# The headers of Qt's widget modules (QtWidgets, QtOpenGLWidgets, ...), by the
# names a rule layer could include them by: <QtWidgets/...> or a bare name
# such as <QMessageBox>. A name another module ships as well (Qt 6 keeps
# qaction.h in both QtWidgets and QtGui) is left to that module.
qt_headers="$(qtpaths6 --query QT_INSTALL_HEADERS 2>/dev/null || qmake6 -query QT_INSTALL_HEADERS 2>/dev/null || true)"
compgen -G "$qt_headers/QtWidgets/QWidget" >/dev/null || { echo "Qt's widget headers not found (qtpaths6, qt6-base-dev)"; exit 1; }
declare -A widget_header=() other_header=()
for dir in "$qt_headers"/Qt*/; do
  module="$(basename "$dir")"
  for f in "$dir"*; do
    [ -f "$f" ] || continue
    if [[ "$module" == *Widgets ]]; then widget_header[${f##*/}]=1; else other_header[${f##*/}]=1; fi
  done
done
for name in "${!other_header[@]}"; do unset "widget_header[$name]"; done

# The programs' sources, every folder below these included (quoted, so that
# git matches them, not the shell).
sources=('platform/*.cpp' 'platform/*.h' 'datetime/*.cpp' 'datetime/*.h' 'web/*.cpp' 'web/*.h'
         'calendarwatch/*.cpp' 'calendarwatch/*.h' 'client/*.cpp' 'client/*.h')

bad=0
widgets_bad=0
while IFS= read -r file; do
  from="$(layer_of "$file")"
  [ -n "${rank[$from]+x}" ] || { echo "no layer for $file"; bad=1; continue; }
  rule=0
  [[ " ${rule_layers[*]} " == *" $from "* ]] && rule=1
  while IFS= read -r line; do
    if [[ "$line" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]*)\" ]]; then
      quoted=1
    elif [[ "$line" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<([^\>]*)\> ]]; then
      quoted=0
    else
      continue
    fi
    header="${BASH_REMATCH[1]}"
    if [ "$rule" -eq 1 ] && { [[ "$header" =~ (^|/)Qt[A-Za-z]*Widgets(/|$) ]] ||
                              { [[ "$header" != */* ]] && [ -n "${widget_header[$header]+x}" ]; }; }; then
      echo "$file includes $header: a rule layer holds no window (Qt Widgets)"
      widgets_bad=1
    fi
    if [[ "$header" =~ (^|/)\.\.(/|$) ]]; then
      echo "$file includes $header: an include names a folder from the top, never by climbing out of its own"
      bad=1
      continue
    fi
    [[ "$header" == */* ]] || continue          # a header of the file's own folder, or a library's
    [ "$quoted" -eq 1 ] || [ -n "${ours[${header%%/*}]+x}" ] || continue
    to="$(layer_of "$header")"
    [ "$to" = "$from" ] && continue
    if [ -z "${rank[$to]+x}" ] || [ "${rank[$to]}" -ge "${rank[$from]}" ]; then
      echo "$file includes $header: layer '$to' is not below '$from'"
      bad=1
    fi
  done < <(grep -E '^\s*#\s*include\s*["<]' "$file" || true)
done < <(git ls-files "${sources[@]}")

[ "$bad" -eq 0 ] && echo "layers: no include runs upward"
[ "$widgets_bad" -eq 0 ] && echo "rule layers: no widget header"

# The calendar's busy kinds map to their settings in one table; a second one
# could swap two of them silently.
busy_bad=0
if found=$(git grep -lE 'SettingsKeys::Outlook(Free|Tentative|Busy|OutOfOffice)\b' -- "${sources[@]}" |
           grep -vx 'platform/calendar/CalendarSettings.cpp'); then
  echo "$(echo $found): a busy kind's setting named outside platform/calendar/CalendarSettings.cpp"
  busy_bad=1
else
  echo "busy kinds: one table"
fi

# Settings are named only in platform/SettingsKeys.h. Refused elsewhere in the
# programs' sources (tests may name what they check is stored):
#  - a registry read, write or delete given a quoted name (the store's own
#    files excepted);
#  - a quoted key path ("Software\...") or a quoted value name of the table.
#    Names that are also plain words, column names or captions are left out:
plain_words='Name Type Server Connection Driver Database Description Left Top Width Height Contacts Notes Search Exclusive Collate'
literal='(QStringLiteral\(|QLatin1String\(|QString::fromLatin1\(|u?")'
arg='[^,()]*(\([^()]*\))?[^,()]*'
calls="Registry::(readString|readDword|queryValue|writeString|writeDword|deleteValue)\\(\\s*$arg,\\s*$arg,\\s*$literal"
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
    platform/SettingKey.*|platform/Registry.*) ;;
    *) if without_comments "$file" | grep -qP "$calls"; then
         echo "$file: a setting read or written by a quoted name; name it in platform/SettingsKeys.h"; settings_bad=1
       fi ;;
  esac
  if found=$(without_comments "$file" | grep -oP "$quoted" | sort -u | tr '\n' ' ') && [ -n "$found" ]; then
    echo "$file: $found- settings are named in platform/SettingsKeys.h"; settings_bad=1
  fi
done < <(git ls-files "${sources[@]}")
[ "$settings_bad" -eq 0 ] && echo "settings: every key named in the table"

# One road to a stored setting: its SettingKey of the table reads it (read,
# stored, readOrDefault) and writes it (write, which keeps the stored
# formats), and the tests go the same way. Refused:
#  - the old routines GetRegistryValue/SetRegistryValue, anywhere;
#  - a value read, write or delete, or a key's test, creation or removal,
#    straight on the store outside platform/Registry.* and
#    platform/SettingKey.* in the programs' sources;
#  - in the tests, such a call given a quoted value name (the store's own
#    test, tests/platform/tst_Platform.cpp, excepted): they name the key;
#  - a read of the calendar's path but through CalendarSettings::calendarPath().
road_bad=0
store_calls='\bRegistry::(readString|readDword|queryValue|writeString|writeDword|deleteValue|valueNames|keyExists|createKey|deleteKey)\('
if found=$(git grep -lE '\b[GS]etRegistryValue\b' -- "${sources[@]}" 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h'); then
  echo "$(echo $found): GetRegistryValue/SetRegistryValue; a setting is read and written through its SettingKey"
  road_bad=1
fi
if found=$(git grep -lE "$store_calls" -- "${sources[@]}" | grep -vE '^platform/(Registry|SettingKey)\.(h|cpp)$'); then
  echo "$(echo $found): the settings store used straight; go through the setting's SettingKey (platform/SettingsKeys.h)"
  road_bad=1
fi
while IFS= read -r file; do
  if without_comments "$file" | grep -qP "$calls"; then
    echo "$file: a setting read or written by a quoted name; use its SettingKey (platform/SettingsKeys.h)"; road_bad=1
  fi
done < <(git ls-files 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' | grep -vx 'tests/platform/tst_Platform.cpp')
if found=$(git grep -lE 'SettingsKeys::CalendarPath\s*\.\s*(read|stored|readOrDefault)\b' -- "${sources[@]}" |
           grep -vx 'platform/calendar/CalendarSettings.cpp'); then
  echo "$(echo $found): the calendar's path read but through CalendarSettings::calendarPath()"
  road_bad=1
fi
# Nor a road around the table:
#  - the settings files opened straight (QSettings) but by platform/Registry.*;
#  - a SettingKey held by value outside platform/SettingsKeys.h and
#    platform/SettingKey.* (declared, made, or copied from the table, where a
#    copy could be pointed at another key path or value name): elsewhere keys
#    are only passed by reference or pointer;
#  - in the table, a key but in its one form, `inline constexpr SettingKey
#    Name {User|Machine, <a key path of the table>, "<value name>", ...};`, so
#    no key takes its name or path from a parameter.
everywhere=("${sources[@]}" 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h')
if found=$(git grep -lE '\bQSettings\b' -- "${everywhere[@]}" | grep -vE '^platform/Registry\.(h|cpp)$'); then
  echo "$(echo $found): the settings files opened straight (QSettings); go through the setting's SettingKey"
  road_bad=1
fi
by_value='\bSettingKey\b(?!\s*(::|[&*]|;|\.h"))|\bstruct\s+SettingKey\s*[^;\s]|(^|[^&*\s])\s*\b\w+\s*[={]\s*SettingsKeys::\w+\b(?!\s*(::|\.\s*(?!in\b)\w+\s*\())|\bconst_cast\s*<[^>]*SettingKey'
while IFS= read -r file; do
  if found=$(without_comments "$file" | grep -oP "$by_value" | head -1) && [ -n "$found" ]; then
    echo "$file: a SettingKey held by value ($found); keys are named once, in platform/SettingsKeys.h"; road_bad=1
  fi
done < <(git ls-files "${everywhere[@]}" | grep -vE '^platform/(SettingsKeys\.h|SettingKey\.(h|cpp))$')
paths="$(grep -oP '^inline constexpr char \K\w+(?=\[\] = "Software)' platform/SettingsKeys.h | paste -sd'|')"
table_form="^inline constexpr SettingKey \w+\s*\{(User|Machine),\s*($paths),\s*\"[^\"]*\",[^{}]*\};(\s*//.*)?$"
# A key's continued lines are read as one.
if found=$(sed -E ':a;N;$!ba;s/\n[ \t]+/ /g' platform/SettingsKeys.h | grep -P '\bSettingKey\b' | grep -vP '^#include "SettingKey\.h"$' |
           grep -vP '^inline constexpr SettingKey::(Type|Family) \w+ = SettingKey::\w+;$' | grep -vP "$table_form"); then
  echo "platform/SettingsKeys.h: a key outside the table's one form: $found"
  road_bad=1
fi
[ "$road_bad" -eq 0 ] && echo "settings: one road, through the table"
[ "$bad" -eq 0 ] && [ "$widgets_bad" -eq 0 ] && [ "$busy_bad" -eq 0 ] && [ "$settings_bad" -eq 0 ] && [ "$road_bad" -eq 0 ]

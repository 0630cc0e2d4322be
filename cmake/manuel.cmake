# The manual page (roff) and the bash completion of unitfrac, made from its own --help, so that
# both say what --help says. Run by CMake after each build of the program:
#   cmake -DPROGRAMME=path/unitfrac -DVERSION=x.y.z -DMAN=unitfrac.1 -DBASH=unitfrac.bash -P manuel.cmake
# The help's layout: a usage line, paragraphs, sections "Titre :" with option lines ("  -x, --long=V"
# or "      --long", the text from column 23, continued on lines indented as far), a paragraph
# "Etat de sortie : ...", and "Exemples :" with a command and its meaning on each line.

execute_process(COMMAND "${PROGRAMME}" --help OUTPUT_VARIABLE aide RESULT_VARIABLE statut)
if(NOT statut EQUAL 0)
  message(FATAL_ERROR "${PROGRAMME} --help: ${statut}")
endif()

# CMake lists split on ';' and keep '[...]' whole: both are put aside while the text is cut into
# lines, and put back when written.
string(REPLACE ";" "@PV@" aide "${aide}")
string(REPLACE "[" "@CO@" aide "${aide}")
string(REPLACE "]" "@CF@" aide "${aide}")
string(REPLACE "\n" ";" lignes "${aide}")

# Text for roff: backslashes doubled, minus signs and hyphens as \-, a leading dot or quote
# protected; the characters put aside come back.
function(roff texte sortie)
  string(REPLACE "\\" "\\e" texte "${texte}")
  string(REPLACE "-" "\\-" texte "${texte}")
  string(REGEX REPLACE "^([.'])" "\\\\&\\1" texte "${texte}")
  string(REPLACE "@PV@" ";" texte "${texte}")
  string(REPLACE "@CO@" "[" texte "${texte}")
  string(REPLACE "@CF@" "]" texte "${texte}")
  set(${sortie} "${texte}" PARENT_SCOPE)
endfunction()

# French text: no hyphenation by English rules.
set(man ".TH UNITFRAC 1 \"\" \"unitfrac ${VERSION}\" \"Commandes\"\n.nh\n")
set(options_courtes "")
set(options_longues "")
set(avec_valeur "")
set(partie "")  # description, options, sortie, exemples
foreach(ligne IN LISTS lignes)
  if(ligne MATCHES "^Usage : unitfrac")
    continue()
  elseif(ligne STREQUAL "")
    set(paragraphe TRUE)  # a new paragraph of the description begins at its next line
    continue()
  elseif(partie STREQUAL "")
    # The help's first words name the program; the synopsis and description follow.
    string(REGEX REPLACE " : .*" "" nom "${ligne}")
    string(SUBSTRING "${nom}" 0 1 initiale)
    string(SUBSTRING "${nom}" 1 -1 nom)
    string(TOLOWER "${initiale}" initiale)
    set(nom "${initiale}${nom}")
    string(APPEND man ".SH NOM\nunitfrac \\- ${nom}\n.SH SYNOPSIS\n.B unitfrac\n[\\fIOPTION\\fR]...\n.SH DESCRIPTION\n")
    set(partie "description")
  elseif(ligne MATCHES "^Etat de sortie : (.*)$")
    set(partie "sortie")
    roff("${CMAKE_MATCH_1}" texte)
    string(APPEND man ".SH \"ETAT DE SORTIE\"\n${texte}\n")
    continue()
  elseif(ligne MATCHES "^Exemples :$")
    set(partie "exemples")
    string(APPEND man ".SH EXEMPLES\n")
    continue()
  elseif(ligne MATCHES "^([A-Z][a-z]+) :$")
    if(NOT partie STREQUAL "options")
      string(APPEND man ".SH OPTIONS\n")
    endif()
    set(partie "options")
    string(APPEND man ".SS ${CMAKE_MATCH_1}\n")
    continue()
  endif()

  if(partie STREQUAL "options" AND ligne MATCHES "^  (-([a-zA-Z]), |    )--([a-z-]+)(=([A-Z/,.]+))?( +(.*))?$")
    set(courte "${CMAKE_MATCH_2}")
    set(longue "${CMAKE_MATCH_3}")
    set(valeur "${CMAKE_MATCH_5}")
    roff("${CMAKE_MATCH_7}" texte)
    set(tete "")
    if(NOT courte STREQUAL "")  # if(n) would be false: N is a false constant
      string(APPEND tete "\\fB\\-${courte}\\fR, ")
      list(APPEND options_courtes "-${courte}")
    endif()
    string(REPLACE "-" "\\-" longue_roff "${longue}")
    string(APPEND tete "\\fB\\-\\-${longue_roff}\\fR")
    list(APPEND options_longues "--${longue}")
    if(NOT valeur STREQUAL "")
      string(APPEND tete "=\\fI${valeur}\\fR")
      list(APPEND avec_valeur "--${longue}")
      if(NOT courte STREQUAL "")
        list(APPEND avec_valeur "-${courte}")
      endif()
    endif()
    string(APPEND man ".TP\n${tete}\n${texte}\n")
  elseif(partie STREQUAL "exemples" AND ligne MATCHES "^  (unitfrac.*[^ ])   +(.*)$")
    roff("${CMAKE_MATCH_1}" commande)
    roff("${CMAKE_MATCH_2}" sens)
    string(APPEND man ".TP\n.B ${commande}\n${sens}\n")
  else()
    string(STRIP "${ligne}" ligne)
    roff("${ligne}" texte)
    if(paragraphe AND partie STREQUAL "description")
      string(APPEND man ".PP\n")
    endif()
    string(APPEND man "${texte}\n")
  endif()
  set(paragraphe FALSE)
endforeach()
file(WRITE "${MAN}" "${man}")

# The completion: every option after a dash; nothing is offered for the value an option takes.
list(JOIN options_courtes " " courtes)
list(JOIN options_longues " " longues)
list(JOIN avec_valeur "|" valeurs)
file(WRITE "${BASH}" "# bash completion of unitfrac ${VERSION}, made from unitfrac --help.
_unitfrac() {
  local cur=\${COMP_WORDS[COMP_CWORD]} prev=\${COMP_WORDS[COMP_CWORD-1]}
  case \$prev in
    ${valeurs}) COMPREPLY=(); return ;;
  esac
  if [[ \$cur == -* ]]; then
    COMPREPLY=(\$(compgen -W '${longues} ${courtes}' -- \"\$cur\"))
  fi
}
complete -F _unitfrac unitfrac
")

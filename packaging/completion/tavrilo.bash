# SPDX-License-Identifier: GPL-3.0-or-later
# bash completion for tavrilo: the options, the values of --game, --lang and --format,
# .cfg files for the window and any file for --check.
_tavrilo() {
  local cur prev words cword split
  _init_completion -s || return

  case $prev in
    --game)
      COMPREPLY=($(compgen -W 'quake2 yamagi' -- "$cur"))
      return
      ;;
    --lang)
      COMPREPLY=($(compgen -W 'en fr' -- "$cur"))
      return
      ;;
    --format)
      COMPREPLY=($(compgen -W 'text json' -- "$cur"))
      return
      ;;
    -h | --help | -v | --version)
      return
      ;;
  esac
  $split && return

  local word checking=false
  for word in "${words[@]:1:cword-1}"; do
    [[ $word == --check ]] && checking=true
  done

  if [[ $cur == -* ]]; then
    if $checking; then
      COMPREPLY=($(compgen -W '--game --lang --format=' -- "$cur"))
    else
      COMPREPLY=($(compgen -W '--check --help --version' -- "$cur"))
    fi
    [[ ${COMPREPLY-} == *= ]] && compopt -o nospace
    return
  fi

  if $checking; then
    _filedir
  else
    _filedir cfg
  fi
}
complete -F _tavrilo tavrilo

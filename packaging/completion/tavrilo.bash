# SPDX-License-Identifier: GPL-3.0-or-later
# bash completion for tavrilo: the options, the values of --game, --lang and --format,
# folders for --game-dir and --user-dir, the finding codes for --explain, .cfg files for
# the window and any file for --check.
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
      COMPREPLY=($(compgen -W 'text json sarif' -- "$cur"))
      return
      ;;
    --game-dir | --user-dir)
      _filedir -d
      return
      ;;
    --explain)
      COMPREPLY=($(compgen -W "$(tavrilo --list-codes --lang en 2>/dev/null | cut -d' ' -f1)" -- "$cur"))
      return
      ;;
    -h | --help | -v | --version | --list-codes)
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
      COMPREPLY=($(compgen -W '--game --lang --format= --game-dir --user-dir' -- "$cur"))
    else
      COMPREPLY=($(compgen -W '--check --list-codes --explain --lang --help --version' -- "$cur"))
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

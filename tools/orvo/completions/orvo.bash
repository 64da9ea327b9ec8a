# bash completion for orvo, the command-line client of the Gyrion
# administration service: commands, options, profile names and local files.

_orvo_profiles() {
  local config="${XDG_CONFIG_HOME:-$HOME/.config}/orvo/config"
  [ -r "$config" ] && sed -n 's/^[[:space:]]*\[\([^]]*\)\][[:space:]]*$/\1/p' "$config"
}

# Local file names, marked as such so that bash quotes them and adds "/".
_orvo_files() {
  compopt -o filenames 2>/dev/null
  COMPREPLY=($(compgen "${1:--f}" -- "$cur"))
}

_orvo() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
  local words=("${COMP_WORDS[@]}") cword=$COMP_CWORD

  local commands="get put merge edit sync spawns dir checksum resources port start raw shell profiles"
  local options="--profile --host --port --ssh --user --password-file --timeout --idle --json --large --help"

  case "$prev" in
    --profile)
      COMPREPLY=($(compgen -W "$(_orvo_profiles)" -- "$cur"))
      return ;;
    --password-file|-o|--output)
      _orvo_files
      return ;;
    --host|--ssh)
      COMPREPLY=($(compgen -A hostname -- "$cur"))
      return ;;
    --port|--user|--timeout|--idle)
      return ;;
  esac

  # The command is the first word that is neither an option nor its value.
  local i command="" place=0
  for ((i = 1; i < cword; i++)); do
    case "${words[i]}" in
      --profile|--host|--port|--ssh|--user|--password-file|--timeout|--idle|-o|--output) ((i++)) ;;
      -*) ;;
      *) if [ -z "$command" ]; then command="${words[i]}"; else ((place++)); fi ;;
    esac
  done

  if [[ "$cur" == -* ]]; then
    case "$command" in
      sync) COMPREPLY=($(compgen -W "$options --dry-run --delete --force" -- "$cur")) ;;
      get) COMPREPLY=($(compgen -W "$options -o" -- "$cur")) ;;
      *) COMPREPLY=($(compgen -W "$options" -- "$cur")) ;;
    esac
    return
  fi

  case "$command" in
    "") COMPREPLY=($(compgen -W "$commands" -- "$cur")) ;;
    merge) if [ "$place" -eq 0 ]; then COMPREPLY=($(compgen -W "item npc" -- "$cur")); else _orvo_files; fi ;;
    sync) if [ "$place" -eq 0 ]; then COMPREPLY=($(compgen -W "pull push" -- "$cur")); elif [ "$place" -eq 1 ]; then _orvo_files -d; fi ;;
    put) if [ "$place" -eq 1 ]; then _orvo_files; fi ;;
  esac
}
complete -F _orvo orvo

# Checks orvo's zsh completion: the file parses, compinit binds it to orvo,
# and Tab offers what orvo takes at each place. An interactive zsh -f runs in
# a pseudo-terminal with compadd wrapped to print every match it is given.
#
#   zsh -f zsh_completion_test.zsh COMPLETIONS_DIR

zmodload zsh/zpty zsh/datetime
completions=${1:?usage: zsh_completion_test.zsh COMPLETIONS_DIR}
[[ $completions == /* ]] || completions=$PWD/$completions
zsh -n $completions/_orvo || { print -u2 "_orvo does not parse"; exit 1 }

work=$(mktemp -d) || exit 1
trap 'zpty -d shell 2>/dev/null; rm -rf $work' EXIT
mkdir -p $work/config/orvo $work/files/shard
print '[default]\nhost = shard.example.net\n\n[live]\nport = 4006' >$work/config/orvo/config
: >$work/files/items.scp
cd $work/files

# The markers are split in what is typed, so that the echo of the typed
# lines never looks like output.
export XDG_CONFIG_HOME=$work/config
zpty shell zsh -f -i
zpty -w shell "bindkey -e; PS1=; fpath=($completions \$fpath); autoload -Uz compinit; compinit -u -d $work/dump"
zpty -w shell 'print -r -- "<bou""nd>$_comps[orvo]"'
zpty -w shell 'compadd() { if [[ " $* " == *" -"[OAD]" "* ]]; then builtin compadd "$@"; return; fi
  local -a hits; builtin compadd -O hits "$@"; print -rn -- " " "<ma""tch>"${^hits}" "; builtin compadd "$@"; }'
# Tab completes with no list and nothing inserted, then prints the marker.
zpty -w shell 'quiet() { compstate[list]=; compstate[insert]=; }
  tab() { comppostfuncs=(quiet); zle complete-word; print -r -- " <do""ne>"; }
  zle -N tab; bindkey "^I" tab'

# Reads the shell's output up to and including the marker, or fails after 30 seconds.
output=
read_until() {
  local chunk deadline=$((EPOCHREALTIME + 30))
  output=
  while [[ $output != *$1* ]]; do
    (( EPOCHREALTIME < deadline )) || { print -u2 "no $1 from zsh; it said: $output"; return 1 }
    if zpty -r -t shell chunk; then output+=$chunk; else sleep 0.05; fi
  done
}

fail=0
read_until '<bound>' || exit 1
[[ $output == *'<bound>_orvo'* ]] || { print -u2 "compinit did not bind _orvo to orvo"; fail=1 }

common='--help --host --password-file --port --profile --ssh --timeout --user -h'
words_of_orvo='checksum dir edit get merge port profiles put raw resources shell spawns start sync'
# The line typed before Tab, and every match offered, in sorted order.
cases=(
  'orvo '                        "$words_of_orvo"
  'orvo --user Warden sp'        'spawns'
  'orvo --profile '              'default live'
  'orvo --profile='              'default live'
  'orvo -'                       "--delete --dry-run --force --idle --json --large --output -n -o $common"
  'orvo merge '                  'item npc'
  'orvo merge npc '              'items.scp shard'
  'orvo put gyrion.ini '         'items.scp shard'
  'orvo get gyrion.ini -'        "--output -o $common"
  'orvo get gyrion.ini -o '      'items.scp shard'
  'orvo sync '                   'pull push'
  'orvo sync --dry-run pull '    'shard'
  'orvo sync push shard -'       "--delete --dry-run --force --json --large -n $common"
  'orvo spawns -'                "--json $common"
  'orvo raw GINI --'             "--idle ${common% -h}"
  'orvo --help '                 ''
)
for line want in "${cases[@]}"; do
  zpty -w -n shell "$line"$'\t'
  read_until '<done>' || exit 1
  zpty -w -n shell $'\C-u'
  typeset -a got=(${(o)${(M)${(s: :)output}:#<match>*}#<match>})
  got=(${(u)got})
  typeset -a wanted=(${(o)${(s: :)want}})
  if [[ ${(j: :)got} != ${(j: :)wanted} ]]; then
    print -u2 "[$line<Tab>] offers: ${(j: :)got}"
    print -u2 "${(l:${#line}+8:: :):-}wanted: ${(j: :)wanted}"
    fail=1
  fi
  if [[ $output == *(_orvo|_arguments|_describe|_values|_files)*:<->:* ]]; then
    print -u2 "[$line<Tab>] reports an error: $output"
    fail=1
  fi
done
(( fail )) || print "zsh completion of orvo: $(( ${#cases} / 2 )) cases"
exit $fail

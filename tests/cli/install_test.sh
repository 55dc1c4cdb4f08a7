#!/usr/bin/env bash
# cmake --install into a temporary prefix: the layout, a manual page that names every option of
# --help, and bash completing commands, options and palette names.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" > /dev/null
for file in bin/orlaspin-cli share/man/man1/orlaspin-cli.1 \
    share/bash-completion/completions/orlaspin-cli share/zsh/site-functions/_orlaspin-cli \
    share/fish/vendor_completions.d/orlaspin-cli.fish share/doc/orlaspin/README.md \
    share/doc/orlaspin/LICENSE; do
  [[ -f $prefix/$file ]] || fail "$file not installed"
done

page=$(MANWIDTH=200 man -l "$prefix/share/man/man1/orlaspin-cli.1" 2> /dev/null)
[[ $page == *"orlaspin-cli - list ZX Spectrum"* ]] || fail "the page has no NAME"
for option in $("$prefix/bin/orlaspin-cli" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
  grep -q -- "$option\\b" <<< "$page" || fail "the page does not name $option"
done

# The words bash offers for the command line's last word, in a folder with no files to offer.
completed() {
  mkdir -p "$prefix/empty"
  (cd "$prefix/empty" && bash -c 'source ../share/bash-completion/completions/orlaspin-cli
    COMP_WORDS=($1); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _orlaspin_cli
    echo "${COMPREPLY[*]}"' _ "$1")
}
[[ $(completed "orlaspin-cli ex") == export ]] || fail "ex: $(completed 'orlaspin-cli ex')"
[[ $(completed "orlaspin-cli export --pal") == --palette ]] || fail "--pal"
[[ $(completed "orlaspin-cli export --palette f") == fuse ]] || fail "--palette f"
[[ $(completed "orlaspin-cli export -f p") == png ]] || fail "-f p"
[[ $(completed "orlaspin-cli sheet --gi") == --gigascreen ]] || fail "sheet --gi"

# Shared by the set-up scripts (sourced): running what needs root, and apt's index update.

# Runs a command as root: directly when we are root, through sudo otherwise.
privileged() {
  if [[ $(id -u) -eq 0 ]]; then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "$@"
  else
    echo "error: '$*' needs root; run this script as root or install sudo and allow this user to use it" >&2
    exit 1
  fi
}

# apt-get update, tried again after a pause when an index download fails (a mirror that is
# synchronising serves indexes whose sizes do not match for a while).
apt_update_with_retries() {
  local attempt
  for attempt in 1 2 3 4; do
    if privileged apt-get update -qq; then return 0; fi
    echo "apt-get update failed (attempt $attempt); trying again in $((attempt * 15)) s" >&2
    sleep $((attempt * 15))
  done
  echo "error: apt-get update kept failing" >&2
  exit 1
}

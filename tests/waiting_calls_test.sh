#!/usr/bin/env bash
# Fails when a call that can wait on another program is made where it may hold up Vigilon's
# user-interface thread. Such a call sent to another program's window waits until that program
# takes it, for ever if it hangs. The check reads the files that get hold of other programs'
# windows (a window handle from the core, an enumeration, a caller's window in a message) and
# lists each such call in them, unless
#   - its first argument is one of Vigilon's own windows (OWN_WINDOWS below), or
#   - the line, or the line above it, carries the marker "waits-allowed:" with the reason it may
#     wait there: it runs on a worker thread, only for a window of the calling thread, or
#     asynchronously.
# A call with a time limit (SendMessageTimeoutW) or that does not wait (PostMessageW,
# SendNotifyMessageW, ShowWindowAsync) is not one of these.
set -euo pipefail
src=${1:?usage: waiting_calls_test.sh SRC_DIR}

# The calls that wait for the window's program when it belongs to another thread.
CALLS='SendMessage[AW]?|SendDlgItemMessage[AW]?|PrintWindow|SetWindowLong(Ptr)?[AW]?|SetWindowPos|SetWindowPlacement|MoveWindow|ShowWindow|SetWindowText[AW]?|SetParent|BringWindowToTop|EnableWindow|SetWindowRgn|AttachThreadInput|WaitForInputIdle'
# What gets hold of another program's window; a file with any of these is read.
FOREIGN='ToHwnd\(|EnumWindows|EnumChildWindows|FindWindow|WindowFromPoint|GetForegroundWindow|GetShellWindow|reinterpret_cast<HWND>\(wParam\)|PrintWindow|AttachThreadInput|WaitForInputIdle'
# Vigilon's own windows, as their owners name them: calls on them are its own business.
OWN_WINDOWS='window_|list_|label_|problems_|headline_'
MARKER='waits-allowed:'

status=0
while IFS= read -r file; do
  previous=''
  number=0
  while IFS= read -r line || [ -n "$line" ]; do
    number=$((number + 1))
    code=${line%%//*}  # what the line does, without its comment
    if [[ $code =~ (^|[^A-Za-z0-9_])($CALLS)[[:space:]]*\( ]]; then
      call=${BASH_REMATCH[2]}
      first=$(sed -E "s/.*(^|[^A-Za-z0-9_])$call[[:space:]]*\([[:space:]]*([A-Za-z_][A-Za-z0-9_]*)[[:space:]]*[,)].*/\2/;t;s/.*//" <<<"$code")
      if ! [[ $first =~ ^($OWN_WINDOWS)$ ]] && [[ $line != *"$MARKER"* ]] && [[ $previous != *"$MARKER"* ]]; then
        echo "${file#"$src"/}:$number: $call may wait on another program: ${line#"${line%%[![:space:]]*}"}"
        status=1
      fi
    fi
    previous=$line
  done <"$file"
done < <(grep -rlE --include='*.cpp' --include='*.h' "$FOREIGN" "$src" | sort)

if [ $status -eq 0 ]; then
  echo "no call that can wait on another program outside the places allowed to make it"
else
  echo "Make the call asynchronous or move it to a worker thread; where it is allowed to wait, say why"
  echo "on its line or the line above with \"// $MARKER <reason>\"."
fi
exit $status

# fish completion for varnel-cli: the options, the function, then file names
# for the inputs and the output.
set -l functions mono stereo join join12 join21
set -l no_function "not __fish_seen_subcommand_from $functions"
complete -c varnel-cli -f -n $no_function -a mono -d 'the inputs added, clipped to 16 bits'
complete -c varnel-cli -f -n $no_function -a stereo -d 'input 1 left, input 2 right'
complete -c varnel-cli -f -n $no_function -a join -d 'the inputs one after the other'
complete -c varnel-cli -f -n $no_function -a join12 -d 'the inputs one after the other'
complete -c varnel-cli -f -n $no_function -a join21 -d 'input 2, then input 1'
complete -c varnel-cli -F -n "__fish_seen_subcommand_from $functions"

complete -c varnel-cli -l pad -d 'mono and stereo: cover the longer input, padded with silence'
complete -c varnel-cli -l average -d 'mono: each sample the mean of the inputs, which never clips'
complete -c varnel-cli -l raw -d 'read every input as raw samples, a WAV header included'
complete -c varnel-cli -s r -l rate -x -a '8000 11025 16000 22050 22k 44100 44.1k 48000' -d 'the rate of raw inputs in Hz'
complete -c varnel-cli -s t -l output-type -x -a 'wav raw' -d 'the type of OUTPUT whatever its name'
complete -c varnel-cli -l inputs-from -r -F -d 'mono and join: more inputs, one a line of FILE'
complete -c varnel-cli -l json -d 'print the summary as one JSON object on standard output'
complete -c varnel-cli -s q -l quiet -d 'no progress bar and no summary'
complete -c varnel-cli -l progress -d 'show the progress bar even when standard error is not a terminal'
complete -c varnel-cli -s h -l help -d 'show the help'
complete -c varnel-cli -l version -d 'show the version'

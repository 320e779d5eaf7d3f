# An Ansible local fact for Windows: copied into the folder a play's setup module reads facts from
# (its fact_path, for example C:\ProgramData\Ansible\facts) it gives ansible_local.quorvane that
# machine's facts as quorvane-cli gathers them. quorvane-cli.exe must be on the PATH, or write its
# full path below.
$document = & quorvane-cli.exe --json
if ($LASTEXITCODE -ne 0) { throw "quorvane-cli --json ended with status $LASTEXITCODE" }
$document | Out-String | ConvertFrom-Json

# An Ansible local fact for Windows: copied into the folder a play's setup module reads facts from
# (its fact_path, for example C:\ProgramData\Ansible\facts) it gives ansible_local.quorvane that
# machine's facts as quorvane-cli gathers them. The installer puts quorvane-cli.exe on the PATH;
# from the zip, add its folder to the PATH or write its full path below.
#
# The document is UTF-8; PowerShell decodes a program's output with the console's output encoding
# (the OEM code page by default), which would garble every name that is not ASCII.
$encoding = [Console]::OutputEncoding
[Console]::OutputEncoding = New-Object System.Text.UTF8Encoding $false
try {
  $document = & quorvane-cli.exe --json
} finally {
  [Console]::OutputEncoding = $encoding
}
if ($LASTEXITCODE -ne 0) { throw "quorvane-cli --json ended with status $LASTEXITCODE" }
$document | Out-String | ConvertFrom-Json

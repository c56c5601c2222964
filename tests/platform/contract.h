// Behaviour that every platform must share. The contract tests (contract_*.cpp) use only
// the seam and the hooks below, so the same sources run natively against the memory
// platform and under Wine against the Win32 one. Each platform links one factory source
// that defines the hooks.
//
// The tests touch the real system only here: below the scratch keys, in the scratch
// folder, on the contract service, and through system parameters they restore.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"

namespace corvanel::contract {

// A fresh platform for one test.
std::unique_ptr<platform::Platform> MakePlatformUnderTest();

// A key path (no leading backslash) below "Software\\CorvanelContract", different on each
// call. The same path is used below HKCU and HKLM. The tests create it and remove it with
// everything below it; the factory only names it.
std::string ContractScratchKey();

// An installed service that is stopped, starts on demand, accepts STOP and INTERROGATE and
// reaches RUNNING / STOPPED within a few seconds. Tests leave it stopped with its start
// type restored.
std::string ContractServiceName();

// An existing, empty folder (Windows path, no trailing backslash) for the current test;
// call it once per test, after MakePlatformUnderTest. Removing it afterwards is the
// factory's business: the seam cannot delete files.
std::string ContractScratchFolder();

// Makes `link` (a path where nothing is yet) a junction to the existing folder `target`;
// false when the system cannot make one. The factory removes it without entering it.
bool MakeContractJunction(platform::Platform& platform, const std::string& link, const std::string& target);

// The factory defines the environment variable CORVANEL_CONTRACT_VAR with this value, so
// that expansion can be checked against a known answer besides %SystemRoot%.
std::string ContractEnvironmentValue();

}  // namespace corvanel::contract

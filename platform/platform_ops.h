#ifndef LAUNCHER_PLATFORM_PLATFORM_OPS_H_
#define LAUNCHER_PLATFORM_PLATFORM_OPS_H_

#include "platform/files.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "platform/this_program.h"
#include "platform/threads.h"
#include "platform/user_interface.h"
#include "platform/vm_host.h"
#include "settings/launch_observer.h"

// Every operating-system service the launcher uses, and nothing else, in a
// few narrow interfaces by concern. The logic talks to the system only
// through them, so that it runs against the Windows implementation in the
// product and against a fake that scripts every answer in the host tests.
// A function that needs one concern takes that interface; the steps that
// need several take this bundle of them, which also names whoever keeps the
// launch's record, so that every layer can note what it decided.
struct PlatformOps {
  Files& files;
  Registry& registry;
  System& system;
  ThisProgram& program;
  Processes& processes;
  Threads& threads;
  UserInterface& ui;
  VmHost& vm;
  LaunchObserver& log;
};

#endif  // LAUNCHER_PLATFORM_PLATFORM_OPS_H_

// The stand-in jvm.dll's dependency: it lives in the runtime's bin folder, as
// a real VM's libraries do, so that the stand-in loads only when the launcher
// puts that folder on the DLL search path.
extern "C" __declspec(dllexport) int StandinDependency() { return 1; }

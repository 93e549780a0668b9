#ifndef LAUNCHER_JVM_MAIN_METHOD_H_
#define LAUNCHER_JVM_MAIN_METHOD_H_

#include <jni.h>

#include <string>

#include "jvm/java_main.h"

// The java command's launch of an application's main, as a runtime of
// `launch.javaVersion` does it, on the thread that created the VM:
// - the main class is loaded without being initialized (from the class
//   path, or from `launch.mainModule`), and main is looked for by
//   reflection among the forms of that version: public static
//   main(String[]) through Java 24; from Java 25 also an instance main, or
//   one without parameters, any not private, main(String[]) first;
// - only then is the class initialized (a failing static initializer is
//   described as java describes it) and, for an instance main, made with its
//   no-argument constructor;
// - a class that cannot be loaded, or that has no main of those forms, is
//   refused in java's words through `say` (standard error);
// - an exception out of main stays pending, for the thread's end to hand
//   to its uncaught-exception handler as java's main thread does.
// Returns kMainReturned, kMainThrew (an exception is pending) or
// kMainNotFound (refused, or initialization failed: nothing pending).
JavaEndKind RunMainMethod(JNIEnv* env, const JavaLaunch& launch,
                          void (*say)(const std::string& text));

// The text that the version options ask for (-version and the others), from
// the VM's own properties; empty when none was asked for.
std::string VersionText(JNIEnv* env, const VersionRequest& request);

#endif  // LAUNCHER_JVM_MAIN_METHOD_H_

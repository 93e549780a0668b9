#ifndef LAUNCHER_JVM_WINDOWS_JNI_MD_H_
#define LAUNCHER_JVM_WINDOWS_JNI_MD_H_

// The machine-dependent part of jni.h for a Windows VM, which the JDK
// headers of this build machine (made for Linux) lack. jni.h includes it by
// name, so the Windows build finds this one on its include path.
//
// A Windows VM calls and is called with __stdcall: on 32 bits another
// convention leaves the stack unbalanced after the first JNI call (on 64
// bits there is only one convention, which hides the mistake). Its jint is
// a long, 32 bits on both Windows bitnesses.

#define JNIEXPORT __declspec(dllexport)
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

typedef long jint;
typedef long long jlong;
typedef signed char jbyte;

#endif  // LAUNCHER_JVM_WINDOWS_JNI_MD_H_

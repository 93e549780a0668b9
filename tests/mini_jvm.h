#ifndef LAUNCHER_TESTS_MINI_JVM_H_
#define LAUNCHER_TESTS_MINI_JVM_H_

// A Java VM of the tests' own behind the JNI boundary: just enough of JNI,
// and of the reflection API reached through it, for the launcher's driver
// to load a main class, look for its main, run it and end the VM, with the
// application's behaviour scripted by the test. The unit tests play it on
// the host; the stand-in jvm.dll of the end-to-end tests is built on it.
//
// One application, one public static void main(String[]) in a class of
// that name (or none, when the class is missing); one VM at a time, reached
// through MiniJvm::Current() since JNI's functions take no context. Its
// objects live as long as it does (a thread that main leaves blocked keeps
// none it could still use).

#include <jni.h>
#include <stdarg.h>
#include <stdio.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

class MiniJvm {
 public:
  using ExitHook = void(JNICALL*)(jint);
  using PrintHook = jint(JNICALL*)(FILE*, const char*, va_list);

  // The main class, with dots (empty: the first class asked for); and
  // whether the class path has it.
  std::string mainClass;
  bool classExists = true;
  // Told of the first class the launcher asks for, and whether it exists.
  std::function<void(const std::string& name, bool exists)> loaded;
  // What main does, on the VM's thread; it may call Throw().
  std::function<void(MiniJvm&)> main;
  // What the thread's end prints for an exception left by main, as the
  // default uncaught-exception handler would.
  std::function<void(const std::string& exception)> uncaught = [](
      const std::string& exception) {
    fprintf(stderr, "Exception in thread \"main\" %s\n", exception.c_str());
    fflush(stderr);
  };

  // What JNI_CreateJavaVM was given: the options, and the hooks.
  std::vector<std::string> options;
  std::vector<std::string> hookNames;
  ExitHook exit = nullptr;
  PrintHook print = nullptr;
  // The arguments main received, each as UTF-16 code units.
  std::vector<std::u16string> arguments;

  MiniJvm() { Current() = this; }
  static MiniJvm*& Current() {
    static MiniJvm* current = nullptr;
    return current;
  }

  // Writes through the VM's print hook, as the VM prints.
  void Printf(FILE* stream, const char* format, ...) {
    va_list args;
    va_start(args, format);
    print(stream, format, args);
    va_end(args);
  }
  // Leaves an exception pending, as a throw out of main does.
  void Throw(const std::string& exception) {
    pending_ = New(kThrowable, exception);
  }

  // JNI_CreateJavaVM: takes the options and hooks, and hands out the VM.
  jint Create(JavaVM** vm, void** env, void* given) {
    const JavaVMInitArgs* args = static_cast<const JavaVMInitArgs*>(given);
    for (jint i = 0; i < args->nOptions; ++i) {
      const std::string option = args->options[i].optionString;
      options.push_back(option);
      void* hook = args->options[i].extraInfo;
      if (hook == nullptr) continue;
      hookNames.push_back(option);
      if (option == "exit") exit = reinterpret_cast<ExitHook>(hook);
      if (option == "vfprintf") print = reinterpret_cast<PrintHook>(hook);
    }
    Wire();
    *vm = &vm_;
    *env = &env_;
    return JNI_OK;
  }

 private:
  enum Kind { kClass, kString, kArray, kMethod, kThrowable, kOther };
  struct Object {
    Kind kind;
    std::string text;  // a class's or method's name, a string's text
    std::vector<jobject> items;
  };
  struct Method {
    std::string name;
  };

  static MiniJvm& Me() { return *Current(); }
  jobject New(Kind kind, const std::string& text,
              std::vector<jobject> items = {}) {
    objects_.push_back(Object{kind, text, items});
    return reinterpret_cast<jobject>(&objects_.back());
  }
  static Object& Of(jobject object) {
    return *reinterpret_cast<Object*>(object);
  }
  static std::string Name(jmethodID method) {
    return reinterpret_cast<Method*>(method)->name;
  }
  static std::string Dotted(std::string name) {
    for (char& c : name) {
      if (c == '/') c = '.';
    }
    return name;
  }

  // --- the JNI functions the launcher's driver calls

  static jclass JNICALL FindClass(JNIEnv*, const char* name) {
    return static_cast<jclass>(Me().New(kClass, Dotted(name)));
  }
  static jmethodID JNICALL GetMethodID(JNIEnv*, jclass, const char* name,
                                       const char*) {
    Me().methods_.push_back(Method{name});
    return reinterpret_cast<jmethodID>(&Me().methods_.back());
  }
  static jobject Call(jobject target, jmethodID method, va_list args) {
    MiniJvm& me = Me();
    const std::string name = Name(method);
    Object* self = target ? &Of(target) : nullptr;
    if (name == "getSystemClassLoader" || name == "getClassLoader") {
      return me.New(kOther, "loader");
    }
    if (name == "forName") {
      const char* wanted = me.Text(va_arg(args, jobject));
      if (me.mainClass.empty()) {
        me.mainClass = wanted;
        if (me.loaded) me.loaded(wanted, me.classExists);
      }
      if (me.classExists && me.mainClass == wanted) {
        return me.New(kClass, wanted);
      }
      me.pending_ = me.New(
          kThrowable, std::string("java.lang.ClassNotFoundException: ") + wanted);
      return nullptr;
    }
    if (name == "toString" || name == "getName") {
      return me.New(kString, self->kind == kMethod ? "main" : self->text);
    }
    if (name == "getDeclaredMethods") {
      const bool main = self->text == me.mainClass;
      return me.New(kArray, "", main ? std::vector<jobject>{me.Main()}
                                     : std::vector<jobject>{});
    }
    if (name == "getMethod") {
      if (self->text == me.mainClass) return me.Main();
      me.pending_ = me.New(kThrowable, "java.lang.NoSuchMethodException: main");
      return nullptr;
    }
    if (name == "getReturnType") return me.New(kClass, "void");
    if (name == "getParameterTypes") {
      return me.New(kArray, "", {me.New(kClass, "[Ljava.lang.String;")});
    }
    if (name == "getDeclaringClass") return me.New(kClass, me.mainClass);
    if (name == "getInterfaces") return me.New(kArray, "");
    if (name == "getProperty") return me.New(kString, "mini");
    return nullptr;  // getSuperclass, setProperty, ...: none
  }
  static jobject JNICALL CallObjectMethodV(JNIEnv*, jobject target,
                                           jmethodID method, va_list args) {
    return Call(target, method, args);
  }
  static jobject JNICALL CallStaticObjectMethodV(JNIEnv*, jclass,
                                                 jmethodID method,
                                                 va_list args) {
    return Call(nullptr, method, args);
  }
  static jint JNICALL CallIntMethodV(JNIEnv*, jobject target, jmethodID,
                                     va_list) {
    // A method is public static; a class public.
    return Of(target).kind == kMethod ? 0x9 : 0x1;
  }
  static jstring JNICALL NewStringUTF(JNIEnv*, const char* text) {
    return static_cast<jstring>(Me().New(kString, text));
  }
  static const char* JNICALL GetStringUTFChars(JNIEnv*, jstring text,
                                               jboolean*) {
    return Of(text).text.c_str();
  }
  static void JNICALL ReleaseStringUTFChars(JNIEnv*, jstring, const char*) {}
  static jstring JNICALL NewString(JNIEnv*, const jchar* text, jsize length) {
    Me().arguments.emplace_back(reinterpret_cast<const char16_t*>(text),
                                static_cast<std::size_t>(length));
    return static_cast<jstring>(Me().New(kString, ""));
  }
  static jobjectArray JNICALL NewObjectArray(JNIEnv*, jsize length, jclass,
                                             jobject initial) {
    return static_cast<jobjectArray>(Me().New(
        kArray, "",
        std::vector<jobject>(static_cast<std::size_t>(length), initial)));
  }
  static void JNICALL SetObjectArrayElement(JNIEnv*, jobjectArray array,
                                            jsize index, jobject value) {
    Of(array).items[static_cast<std::size_t>(index)] = value;
  }
  static jsize JNICALL GetArrayLength(JNIEnv*, jarray array) {
    return static_cast<jsize>(Of(array).items.size());
  }
  static jobject JNICALL GetObjectArrayElement(JNIEnv*, jobjectArray array,
                                               jsize index) {
    return Of(array).items[static_cast<std::size_t>(index)];
  }
  static jboolean JNICALL IsSameObject(JNIEnv*, jobject a, jobject b) {
    if (a == b) return JNI_TRUE;
    return a && b && Of(a).kind == Of(b).kind && Of(a).text == Of(b).text;
  }
  static jboolean JNICALL IsInstanceOf(JNIEnv*, jobject, jclass) {
    return JNI_FALSE;  // no LinkageError here
  }
  static jfieldID JNICALL GetStaticFieldID(JNIEnv*, jclass, const char*,
                                           const char*) {
    return reinterpret_cast<jfieldID>(1);
  }
  static jobject JNICALL GetStaticObjectField(JNIEnv*, jclass, jfieldID) {
    return Me().New(kClass, "void");  // Void.TYPE, the one field asked for
  }
  static jmethodID JNICALL FromReflectedMethod(JNIEnv*, jobject method) {
    Me().methods_.push_back(Method{Of(method).text});
    return reinterpret_cast<jmethodID>(&Me().methods_.back());
  }
  static void JNICALL CallStaticVoidMethodA(JNIEnv*, jclass, jmethodID,
                                            const jvalue*) {
    if (Me().main) Me().main(Me());
  }
  static jthrowable JNICALL ExceptionOccurred(JNIEnv*) {
    return static_cast<jthrowable>(Me().pending_);
  }
  static jboolean JNICALL ExceptionCheck(JNIEnv*) {
    return Me().pending_ != nullptr;
  }
  static void JNICALL ExceptionClear(JNIEnv*) { Me().pending_ = nullptr; }
  static void JNICALL ExceptionDescribe(JNIEnv*) {
    MiniJvm& me = Me();
    if (me.pending_) me.uncaught(Of(me.pending_).text);
    me.pending_ = nullptr;
  }
  static jobject JNICALL NewLocalRef(JNIEnv*, jobject object) { return object; }
  static void JNICALL DeleteLocalRef(JNIEnv*, jobject) {}
  static jint JNICALL DetachCurrentThread(JavaVM*) {
    // The thread's end hands main's exception to its handler.
    ExceptionDescribe(nullptr);
    return JNI_OK;
  }
  static jint JNICALL DestroyJavaVM(JavaVM*) { return JNI_OK; }

  const char* Text(jobject object) { return Of(object).text.c_str(); }
  jobject Main() { return New(kMethod, "main"); }

  void Wire() {
    functions_.FindClass = FindClass;
    functions_.GetMethodID = GetMethodID;
    functions_.GetStaticMethodID = GetMethodID;
    functions_.CallObjectMethodV = CallObjectMethodV;
    functions_.CallStaticObjectMethodV = CallStaticObjectMethodV;
    functions_.CallIntMethodV = CallIntMethodV;
    functions_.NewStringUTF = NewStringUTF;
    functions_.GetStringUTFChars = GetStringUTFChars;
    functions_.ReleaseStringUTFChars = ReleaseStringUTFChars;
    functions_.NewString = NewString;
    functions_.NewObjectArray = NewObjectArray;
    functions_.SetObjectArrayElement = SetObjectArrayElement;
    functions_.GetArrayLength = GetArrayLength;
    functions_.GetObjectArrayElement = GetObjectArrayElement;
    functions_.IsSameObject = IsSameObject;
    functions_.IsInstanceOf = IsInstanceOf;
    functions_.GetStaticFieldID = GetStaticFieldID;
    functions_.GetStaticObjectField = GetStaticObjectField;
    functions_.FromReflectedMethod = FromReflectedMethod;
    functions_.CallStaticVoidMethodA = CallStaticVoidMethodA;
    functions_.ExceptionOccurred = ExceptionOccurred;
    functions_.ExceptionCheck = ExceptionCheck;
    functions_.ExceptionClear = ExceptionClear;
    functions_.ExceptionDescribe = ExceptionDescribe;
    functions_.NewLocalRef = NewLocalRef;
    functions_.DeleteLocalRef = DeleteLocalRef;
    invoke_.DetachCurrentThread = DetachCurrentThread;
    invoke_.DestroyJavaVM = DestroyJavaVM;
    env_.functions = &functions_;
    vm_.functions = &invoke_;
  }

  jobject pending_ = nullptr;
  // What the JNI calls made, at addresses that stay put; those calls come
  // from the one thread that runs main.
  std::deque<Object> objects_;
  std::deque<Method> methods_;
  JNINativeInterface_ functions_{};
  JNIInvokeInterface_ invoke_{};
  JNIEnv_ env_{};
  JavaVM_ vm_{};
};

#endif  // LAUNCHER_TESTS_MINI_JVM_H_

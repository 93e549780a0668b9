#include "jvm/main_method.h"

#include <vector>

#include "text/text_helpers.h"

namespace {

constexpr jint kPrivate = 0x0002;    // java.lang.reflect.Modifier
constexpr jint kStatic = 0x0008;
constexpr jint kInterface = 0x0200;
constexpr jint kAbstract = 0x0400;
// From this version on, java runs the other forms of main too.
constexpr int kInstanceMainVersion = 25;

// A few calls of the reflection API through JNI, each by its name and
// signature; the classes and methods are looked up where they are used.
class Reflection {
 public:
  explicit Reflection(JNIEnv* env) : env_(env) {}

  jobject CallObject(jobject target, const char* className, const char* name,
                     const char* signature, ...) {
    jclass type = env_->FindClass(className);
    jmethodID method = env_->GetMethodID(type, name, signature);
    va_list args;
    va_start(args, signature);
    jobject result = env_->CallObjectMethodV(target, method, args);
    va_end(args);
    env_->DeleteLocalRef(type);
    return result;
  }
  jint CallInt(jobject target, const char* className, const char* name) {
    jclass type = env_->FindClass(className);
    jint result = env_->CallIntMethod(
        target, env_->GetMethodID(type, name, "()I"));
    env_->DeleteLocalRef(type);
    return result;
  }
  jobject CallStatic(const char* className, const char* name,
                     const char* signature, ...) {
    jclass type = env_->FindClass(className);
    jmethodID method = env_->GetStaticMethodID(type, name, signature);
    va_list args;
    va_start(args, signature);
    jobject result = env_->CallStaticObjectMethodV(type, method, args);
    va_end(args);
    env_->DeleteLocalRef(type);
    return result;
  }
  // The text of a String, or of any object's toString().
  std::string Text(jobject object) {
    if (object == nullptr) return "null";
    jstring text = static_cast<jstring>(
        CallObject(object, "java/lang/Object", "toString",
                   "()Ljava/lang/String;"));
    std::string result;
    if (text != nullptr) {
      const char* bytes = env_->GetStringUTFChars(text, nullptr);
      if (bytes != nullptr) result = bytes;
      env_->ReleaseStringUTFChars(text, bytes);
      env_->DeleteLocalRef(text);
    }
    return result;
  }
  std::string ClassName(jclass type) {
    jobject name =
        CallObject(type, "java/lang/Class", "getName", "()Ljava/lang/String;");
    std::string result = Text(name);
    env_->DeleteLocalRef(name);
    return result;
  }
  bool IsInstanceOf(jobject object, const char* className) {
    jclass type = env_->FindClass(className);
    const bool is = env_->IsInstanceOf(object, type);
    env_->DeleteLocalRef(type);
    return is;
  }

 private:
  JNIEnv* env_;
};

// What refuses the launch, in java's words.
std::string NotFound(const std::string& name) {
  return Format("Error: Main method not found in class %s, please define the "
                "main method as:\n   public static void main(String[] args)\n"
                "or a JavaFX application class must extend "
                "javafx.application.Application\n",
                name.c_str());
}

// The main class of the class path, not yet initialized; nullptr (and said
// why) when it cannot be loaded.
jclass LoadFromClassPath(JNIEnv* env, Reflection& java, const std::string& name,
                         void (*say)(const std::string&)) {
  std::string dotted = name;
  for (char& c : dotted) {
    if (c == '/') c = '.';
  }
  jobject loader = java.CallStatic("java/lang/ClassLoader",
                                   "getSystemClassLoader",
                                   "()Ljava/lang/ClassLoader;");
  jstring text = env->NewStringUTF(dotted.c_str());
  jobject type = java.CallStatic(
      "java/lang/Class", "forName",
      "(Ljava/lang/String;ZLjava/lang/ClassLoader;)Ljava/lang/Class;", text,
      JNI_FALSE, loader);
  env->DeleteLocalRef(text);
  env->DeleteLocalRef(loader);
  jthrowable failure = env->ExceptionOccurred();
  if (failure == nullptr) return static_cast<jclass>(type);
  env->ExceptionClear();
  const std::string why = java.Text(failure);
  if (java.IsInstanceOf(failure, "java/lang/LinkageError")) {
    say(Format("Error: LinkageError occurred while loading main class %s\n\t%s\n",
               name.c_str(), why.c_str()));
  } else {
    say(Format("Error: Could not find or load main class %s\nCaused by: %s\n",
               name.c_str(), why.c_str()));
  }
  env->DeleteLocalRef(failure);
  return nullptr;
}

// The main class of a module of the boot layer, from `className` or else
// the module's own main class (which `*className` then names); nullptr (and
// said why) when there is none.
jclass LoadFromModule(JNIEnv* env, Reflection& java, const std::string& module,
                      std::string* className,
                      void (*say)(const std::string&)) {
  jobject layer = java.CallStatic("java/lang/ModuleLayer", "boot",
                                  "()Ljava/lang/ModuleLayer;");
  jstring name = env->NewStringUTF(module.c_str());
  jobject found = java.CallObject(layer, "java/lang/ModuleLayer", "findModule",
                                  "(Ljava/lang/String;)Ljava/util/Optional;",
                                  name);
  jobject mod = java.CallObject(found, "java/util/Optional", "orElse",
                                "(Ljava/lang/Object;)Ljava/lang/Object;",
                                nullptr);
  env->DeleteLocalRef(name);
  if (mod != nullptr && className->empty()) {
    jobject descriptor =
        java.CallObject(mod, "java/lang/Module", "getDescriptor",
                        "()Ljava/lang/module/ModuleDescriptor;");
    jobject main = descriptor == nullptr
                       ? nullptr
                       : java.CallObject(descriptor,
                                         "java/lang/module/ModuleDescriptor",
                                         "mainClass", "()Ljava/util/Optional;");
    jobject value =
        main == nullptr
            ? nullptr
            : java.CallObject(main, "java/util/Optional", "orElse",
                              "(Ljava/lang/Object;)Ljava/lang/Object;",
                              nullptr);
    if (value == nullptr) {
      say(Format("module %s does not have a ModuleMainClass attribute, use "
                 "-m <module>/<main-class>\n",
                 module.c_str()));
      return nullptr;
    }
    *className = java.Text(value);
  }
  jobject type = nullptr;
  if (mod != nullptr) {
    jstring text = env->NewStringUTF(className->c_str());
    type = java.CallStatic("java/lang/Class", "forName",
                           "(Ljava/lang/Module;Ljava/lang/String;)"
                           "Ljava/lang/Class;",
                           mod, text);
    env->DeleteLocalRef(text);
  }
  env->ExceptionClear();
  if (type == nullptr) {
    say(Format("Error: Could not find or load main class %s in module %s\n",
               className->c_str(), module.c_str()));
  }
  return static_cast<jclass>(type);
}

// The two types a main's signature is made of.
struct MainTypes {
  jobject voidType;       // void.class
  jclass argumentsType;   // String[].class
};

bool IsMain(JNIEnv* env, Reflection& java, jobject method, bool withArguments,
            const MainTypes& types) {
  if (java.Text(java.CallObject(method, "java/lang/reflect/Method", "getName",
                                "()Ljava/lang/String;")) != "main") {
    return false;
  }
  jobject returns = java.CallObject(method, "java/lang/reflect/Method",
                                    "getReturnType", "()Ljava/lang/Class;");
  jobjectArray parameters = static_cast<jobjectArray>(
      java.CallObject(method, "java/lang/reflect/Method", "getParameterTypes",
                      "()[Ljava/lang/Class;"));
  const jsize count = parameters ? env->GetArrayLength(parameters) : -1;
  jobject first = count == 1 ? env->GetObjectArrayElement(parameters, 0)
                             : nullptr;
  const bool is =
      env->IsSameObject(returns, types.voidType) &&
      count == (withArguments ? 1 : 0) &&
      (!withArguments || env->IsSameObject(first, types.argumentsType));
  env->DeleteLocalRef(returns);
  env->DeleteLocalRef(parameters);
  if (first != nullptr) env->DeleteLocalRef(first);
  return is;
}

// The first main of the wanted form that `type` declares: not private, not
// abstract, and static only when `staticToo`; nullptr when it has none.
jobject DeclaredMain(JNIEnv* env, Reflection& java, jclass type,
                     bool withArguments, bool staticToo,
                     const MainTypes& types) {
  jobjectArray methods = static_cast<jobjectArray>(
      java.CallObject(type, "java/lang/Class", "getDeclaredMethods",
                      "()[Ljava/lang/reflect/Method;"));
  jobject found = nullptr;
  const jsize count = methods ? env->GetArrayLength(methods) : 0;
  for (jsize i = 0; i < count && found == nullptr; ++i) {
    jobject method = env->GetObjectArrayElement(methods, i);
    const jint modifiers =
        java.CallInt(method, "java/lang/reflect/Method", "getModifiers");
    if ((modifiers & (kPrivate | kAbstract)) == 0 &&
        (staticToo || (modifiers & kStatic) == 0) &&
        IsMain(env, java, method, withArguments, types)) {
      found = method;
    } else {
      env->DeleteLocalRef(method);
    }
  }
  if (methods) env->DeleteLocalRef(methods);
  return found;
}

// Adds the interfaces that `type` names to `interfaces`.
void AddInterfaces(JNIEnv* env, Reflection& java, jclass type,
                   std::vector<jclass>* interfaces) {
  jobjectArray direct = static_cast<jobjectArray>(java.CallObject(
      type, "java/lang/Class", "getInterfaces", "()[Ljava/lang/Class;"));
  for (jsize i = 0; direct && i < env->GetArrayLength(direct); ++i) {
    interfaces->push_back(
        static_cast<jclass>(env->GetObjectArrayElement(direct, i)));
  }
  if (direct) env->DeleteLocalRef(direct);
}

// Java 25's choice: main(String[]) before main(); each looked for in the
// class and its superclasses first, then as a default method of the
// interfaces they have (a static one counts on the main class itself
// only, when that is an interface).
jobject FindMainOf25(JNIEnv* env, Reflection& java, jclass type) {
  jclass voidClass = env->FindClass("java/lang/Void");
  MainTypes types{env->GetStaticObjectField(
                      voidClass, env->GetStaticFieldID(voidClass, "TYPE",
                                                       "Ljava/lang/Class;")),
                  env->FindClass("[Ljava/lang/String;")};
  std::vector<jclass> classes;
  for (jclass current = static_cast<jclass>(env->NewLocalRef(type));
       current != nullptr;
       current = static_cast<jclass>(
           java.CallObject(current, "java/lang/Class", "getSuperclass",
                           "()Ljava/lang/Class;"))) {
    classes.push_back(current);
  }
  std::vector<jclass> interfaces;
  for (jclass current : classes) AddInterfaces(env, java, current, &interfaces);
  for (std::size_t i = 0; i < interfaces.size(); ++i) {
    AddInterfaces(env, java, interfaces[i], &interfaces);
  }
  jobject found = nullptr;
  for (bool withArguments : {true, false}) {
    for (jclass current : classes) {
      if (found == nullptr) {
        found = DeclaredMain(env, java, current, withArguments, true, types);
      }
    }
    for (jclass interface : interfaces) {
      if (found == nullptr) {
        found = DeclaredMain(env, java, interface, withArguments, false, types);
      }
    }
  }
  for (jclass current : classes) env->DeleteLocalRef(current);
  for (jclass interface : interfaces) env->DeleteLocalRef(interface);
  return found;
}

// Java 17's: the public main(String[]) of the class or one it inherits,
// which must be static and return nothing; nullptr when not, said why when
// there is one of another kind (`*refused`).
jobject FindMainOf17(JNIEnv* env, Reflection& java, jclass type,
                     void (*say)(const std::string&), bool* refused) {
  jstring main = env->NewStringUTF("main");
  jobjectArray parameters = env->NewObjectArray(
      1, env->FindClass("java/lang/Class"), env->FindClass("[Ljava/lang/String;"));
  jobject method = java.CallObject(
      type, "java/lang/Class", "getMethod",
      "(Ljava/lang/String;[Ljava/lang/Class;)Ljava/lang/reflect/Method;", main,
      parameters);
  env->DeleteLocalRef(main);
  env->DeleteLocalRef(parameters);
  if (env->ExceptionCheck() || method == nullptr) {
    env->ExceptionClear();
    return nullptr;
  }
  *refused = true;
  jobject declaring = java.CallObject(method, "java/lang/reflect/Method",
                                      "getDeclaringClass",
                                      "()Ljava/lang/Class;");
  const std::string declared = java.ClassName(static_cast<jclass>(declaring));
  env->DeleteLocalRef(declaring);
  const jint modifiers =
      java.CallInt(method, "java/lang/reflect/Method", "getModifiers");
  if ((modifiers & kStatic) == 0) {
    say(Format("Error: Main method is not static in class %s, please define "
               "the main method as:\n   public static void main(String[] "
               "args)\n",
               declared.c_str()));
    return nullptr;
  }
  jobject returns = java.CallObject(method, "java/lang/reflect/Method",
                                    "getReturnType", "()Ljava/lang/Class;");
  if (java.ClassName(static_cast<jclass>(returns)) != "void") {
    say(Format("Error: Main method must return a value of type void in class "
               "%s, please \ndefine the main method as:\n   public static "
               "void main(String[] args)\n",
               declared.c_str()));
    return nullptr;
  }
  *refused = false;
  return method;
}

// The application's arguments as a String[].
jobjectArray Arguments(JNIEnv* env, const JavaLaunch& launch) {
  const jsize count = static_cast<jsize>(launch.arguments.size());
  jclass stringClass = env->FindClass("java/lang/String");
  jobjectArray arguments =
      stringClass ? env->NewObjectArray(count, stringClass, nullptr) : nullptr;
  for (jsize i = 0; arguments != nullptr && i < count; ++i) {
    // UTF-16 LE bytes are jchars as they stand on a little-endian machine,
    // which every target of the launcher is.
    const std::string& text = launch.arguments[static_cast<std::size_t>(i)];
    jstring argument =
        env->NewString(reinterpret_cast<const jchar*>(text.data()),
                       static_cast<jsize>(text.size() / 2));
    if (argument == nullptr) break;
    env->SetObjectArrayElement(arguments, i, argument);
    env->DeleteLocalRef(argument);
  }
  return arguments;
}

// Initializes the class as java does before a static main: from native
// code, so that a failing static initializer's error carries no frames of
// ours, and is described as java describes it; false then. (An instance
// main's class is initialized by the making of its instance.)
bool Initialize(JNIEnv* env, jclass type, bool withArguments) {
  env->GetStaticMethodID(type, "main",
                         withArguments ? "([Ljava/lang/String;)V" : "()V");
  if (!env->ExceptionCheck()) return true;
  env->ExceptionDescribe();
  env->ExceptionClear();
  return false;
}

// A JavaFX application class without a main of its own starts as java
// starts it, through JavaFX's own launch, which returns when the application
// has ended; JavaFX's modules must be in the VM's boot layer for that. Any
// other class without a main is refused.
JavaEndKind LaunchJavaFx(JNIEnv* env, Reflection& java, jclass type,
                         const JavaLaunch& launch, const std::string& name,
                         void (*say)(const std::string&)) {
  jobject loader = java.CallObject(type, "java/lang/Class", "getClassLoader",
                                   "()Ljava/lang/ClassLoader;");
  jstring applicationName =
      env->NewStringUTF("javafx.application.Application");
  jobject application = java.CallStatic(
      "java/lang/Class", "forName",
      "(Ljava/lang/String;ZLjava/lang/ClassLoader;)Ljava/lang/Class;",
      applicationName, JNI_FALSE, loader);
  env->ExceptionClear();
  if (application == nullptr ||
      !env->IsAssignableFrom(type, static_cast<jclass>(application))) {
    say(NotFound(name));
    return JavaEndKind::kMainNotFound;
  }
  // Runtimes with modules (9 and later) want JavaFX's there, not on the
  // class path.
  if (jclass layers = env->FindClass("java/lang/ModuleLayer")) {
    jobject layer = java.CallStatic("java/lang/ModuleLayer", "boot",
                                    "()Ljava/lang/ModuleLayer;");
    jstring graphics = env->NewStringUTF("javafx.graphics");
    jobject found = java.CallObject(layer, "java/lang/ModuleLayer",
                                    "findModule",
                                    "(Ljava/lang/String;)Ljava/util/Optional;",
                                    graphics);
    jobject module = java.CallObject(found, "java/util/Optional", "orElse",
                                     "(Ljava/lang/Object;)Ljava/lang/Object;",
                                     nullptr);
    env->DeleteLocalRef(layers);
    if (module == nullptr) {
      say("Error: JavaFX runtime components are missing, and are required to "
          "run this application\n");
      return JavaEndKind::kMainNotFound;
    }
  }
  env->ExceptionClear();
  jmethodID start = env->GetStaticMethodID(
      static_cast<jclass>(application), "launch",
      "(Ljava/lang/Class;[Ljava/lang/String;)V");
  env->CallStaticVoidMethod(static_cast<jclass>(application), start, type,
                            Arguments(env, launch));
  return env->ExceptionCheck() ? JavaEndKind::kMainThrew
                               : JavaEndKind::kMainReturned;
}

}  // namespace

JavaEndKind RunMainMethod(JNIEnv* env, const JavaLaunch& launch,
                          void (*say)(const std::string&)) {
  Reflection java(env);
  std::string name = launch.mainClass;
  jclass type = launch.mainModule.empty()
                    ? LoadFromClassPath(env, java, name, say)
                    : LoadFromModule(env, java, launch.mainModule, &name, say);
  if (type == nullptr) return JavaEndKind::kMainNotFound;
  if (!launch.mainModule.empty()) {
    // What java sets once the main class of the module is known.
    jstring key = env->NewStringUTF("jdk.module.main.class");
    jstring value = env->NewStringUTF(name.c_str());
    java.CallStatic("java/lang/System", "setProperty",
                    "(Ljava/lang/String;Ljava/lang/String;)Ljava/lang/String;",
                    key, value);
  }
  const std::string className = java.ClassName(type);
  bool refused = false;
  jobject method = launch.javaVersion >= kInstanceMainVersion
                       ? FindMainOf25(env, java, type)
                       : FindMainOf17(env, java, type, say, &refused);
  if (jthrowable failure = env->ExceptionOccurred()) {
    // A type that the class's methods name is missing: the class cannot be
    // used, as when it cannot be loaded.
    env->ExceptionClear();
    say(Format("Error: Could not find or load main class %s\nCaused by: %s\n",
               name.c_str(), java.Text(failure).c_str()));
    return JavaEndKind::kMainNotFound;
  }
  if (method == nullptr) {
    if (refused) return JavaEndKind::kMainNotFound;
    return LaunchJavaFx(env, java, type, launch, className, say);
  }
  const jint modifiers =
      java.CallInt(method, "java/lang/reflect/Method", "getModifiers");
  jobject instance = nullptr;
  if ((modifiers & kStatic) == 0) {
    const jint classModifiers =
        java.CallInt(type, "java/lang/Class", "getModifiers");
    if ((classModifiers & (kAbstract | kInterface)) != 0) {
      say(Format("Error: abstract class %s can not be instantiated\nplease use "
                 "a concrete class\n",
                 className.c_str()));
      return JavaEndKind::kMainNotFound;
    }
    jobjectArray none =
        env->NewObjectArray(0, env->FindClass("java/lang/Class"), nullptr);
    jobject constructor = java.CallObject(
        type, "java/lang/Class", "getDeclaredConstructor",
        "([Ljava/lang/Class;)Ljava/lang/reflect/Constructor;", none);
    env->ExceptionClear();
    if (constructor == nullptr ||
        (java.CallInt(constructor, "java/lang/reflect/Constructor",
                      "getModifiers") &
         kPrivate) != 0) {
      say(Format("Error: no non-private zero argument constructor found in "
                 "class %s\nremove private from existing constructor or "
                 "define as:\n   public %s()\n",
                 className.c_str(), className.c_str()));
      return JavaEndKind::kMainNotFound;
    }
    if (launch.dryRun) return JavaEndKind::kMainReturned;
    instance = env->NewObject(type, env->FromReflectedMethod(constructor));
    if (env->ExceptionCheck()) {
      env->ExceptionDescribe();
      env->ExceptionClear();
      return JavaEndKind::kMainNotFound;
    }
  }
  jobjectArray parameters = static_cast<jobjectArray>(
      java.CallObject(method, "java/lang/reflect/Method", "getParameterTypes",
                      "()[Ljava/lang/Class;"));
  const bool withArguments = env->GetArrayLength(parameters) == 1;
  if (instance == nullptr) {
    if (launch.dryRun) return JavaEndKind::kMainReturned;
    if (!Initialize(env, type, withArguments)) {
      return JavaEndKind::kMainNotFound;
    }
  }
  jmethodID main = env->FromReflectedMethod(method);
  jvalue value;
  value.l = withArguments ? Arguments(env, launch) : nullptr;
  if (!env->ExceptionCheck()) {
    if (instance != nullptr) {
      env->CallVoidMethodA(instance, main, withArguments ? &value : nullptr);
    } else {
      env->CallStaticVoidMethodA(type, main, withArguments ? &value : nullptr);
    }
  }
  return env->ExceptionCheck() ? JavaEndKind::kMainThrew
                               : JavaEndKind::kMainReturned;
}

std::string VersionText(JNIEnv* env, const VersionRequest& request) {
  Reflection java(env);
  auto property = [&](const char* name) {
    jstring key = env->NewStringUTF(name);
    jobject value = java.CallStatic("java/lang/System", "getProperty",
                                    "(Ljava/lang/String;)Ljava/lang/String;",
                                    key);
    env->DeleteLocalRef(key);
    std::string text = value ? java.Text(value) : std::string();
    if (value) env->DeleteLocalRef(value);
    return text;
  };
  // The java command's words, from the runtime's properties: its name says
  // whose build it is; the release date and the vendor's version are
  // there only on runtimes that have them.
  const std::string runtime = property("java.runtime.version");
  const std::string name = property("java.runtime.name");
  const char* who = StartsWith(name, "OpenJDK") ? "openjdk" : "java";
  if (request.full) {
    return request.toStandardOutput
               ? Format("%s %s\n", who, runtime.c_str())
               : Format("%s full version \"%s\"\n", who, runtime.c_str());
  }
  std::string date = property("java.version.date");
  if (!date.empty()) date = " " + date;
  if (runtime.find("-LTS") != std::string::npos) date += " LTS";
  std::string vendor = property("java.vendor.version");
  if (!vendor.empty()) vendor = " " + vendor;
  const std::string version = property("java.version");
  return (request.toStandardOutput
              ? Format("%s %s%s\n", who, version.c_str(), date.c_str())
              : Format("%s version \"%s\"%s\n", who, version.c_str(),
                       date.c_str())) +
         Format("%s%s (build %s)\n%s%s (build %s, %s)\n", name.c_str(),
                vendor.c_str(), runtime.c_str(),
                property("java.vm.name").c_str(), vendor.c_str(),
                property("java.vm.version").c_str(),
                property("java.vm.info").c_str());
}

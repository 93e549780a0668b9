// The applications that the real-VM tests run: one class per behaviour.
package t;

// Prints its arguments as UTF-16 code units, so that none is lost to an
// encoding on the way out.
class Echo {
  public static void main(String[] args) {
    StringBuilder out = new StringBuilder(args.length + ":");
    for (int i = 0; i < args.length; i++) {
      out.append(i > 0 ? "," : "");
      for (char c : args[i].toCharArray()) out.append(String.format("%04x", (int) c));
    }
    System.out.println(out);
  }
}

class Exit {
  public static void main(String[] args) {
    Runtime.getRuntime().addShutdownHook(new Thread(() -> System.out.println("hook ran")));
    System.exit(Integer.parseInt(args[0]));
  }
}

class Throw {
  public static void main(String[] args) {
    throw new IllegalStateException("boom");
  }
}

class NoMain {
  static void run(String[] args) {}
}

// main returns while a non-daemon thread still has work to do.
class Sleeper {
  public static void main(String[] args) {
    new Thread(() -> {
      try {
        Thread.sleep(300);
      } catch (InterruptedException e) {
      }
      System.out.println("late");
    }).start();
    System.out.println("main");
  }
}

// main returns; a non-daemon thread calls System.exit afterwards.
class LateExit {
  public static void main(String[] args) {
    new Thread(() -> {
      try {
        Thread.sleep(200);
      } catch (InterruptedException e) {
      }
      System.exit(7);
    }).start();
  }
}

// Recursion with wide frames: 20000 calls overflow a 1 MiB stack and fit in
// 8 MiB, interpreted or compiled.
class Deep {
  static long down(int n, long a, long b, long c, long d, long e, long f, long g) {
    return n == 0 ? a : down(n - 1, a + 1, b, c, d, e, f, g) + 1;
  }

  public static void main(String[] args) {
    int depth = Integer.parseInt(args[0]);
    System.out.println("depth " + down(depth, 0, 0, 0, 0, 0, 0, 0) / 2);
  }
}

// Reflects into java.lang, which only --add-opens allows.
class Opens {
  public static void main(String[] args) throws Exception {
    String.class.getDeclaredField("value").setAccessible(true);
    System.out.println("opened");
  }
}

// An uncaught-exception handler of the application's own, which java's main
// thread hands main's exception to.
class Handler {
  public static void main(String[] args) {
    Thread.setDefaultUncaughtExceptionHandler((thread, e) -> {
      System.out.println("handled in " + thread.getName() + ": " + e.getMessage());
      if (args.length > 0) System.exit(Integer.parseInt(args[0]));
    });
    throw new IllegalStateException("boom");
  }
}

// Standard error moved to standard output: the whole report of an uncaught
// exception follows it.
class SetErr {
  public static void main(String[] args) {
    System.setErr(System.out);
    throw new IllegalStateException("to the new stream");
  }
}

class PrivateMain {
  private static void main(String[] args) {
    System.out.println("ran");
  }
}

class PackageMain {
  static void main(String[] args) {
    System.out.println("ran");
  }
}

// A static initializer that fails: the class loads, but cannot be used.
class BadInit {
  static {
    if (true) throw new IllegalStateException("in the initializer");
  }

  public static void main(String[] args) {
    System.out.println("ran");
  }
}

// What an application learns of how it was started.
class Props {
  public static void main(String[] args) {
    for (String name : new String[] {"x.a", "x.b", "sun.java.command",
                                     "sun.java.launcher", "java.class.path"}) {
      System.out.println(name + "=" + System.getProperty(name));
    }
    System.out.println("class from " + Props.class.getProtectionDomain()
        .getCodeSource().getLocation().getPath().replaceAll(".*/", ""));
  }
}

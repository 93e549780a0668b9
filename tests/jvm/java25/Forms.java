// The forms of main that Java 25 runs and earlier versions refuse.
package t25;

class InstanceMain {
  void main() {
    System.out.println("instance main of " + getClass().getName());
  }
}

class StaticNoArguments {
  static void main() {
    System.out.println("static main without arguments");
  }
}

class InstanceWithArguments {
  void main(String[] args) {
    System.out.println("instance main with " + args.length + " arguments");
  }
}

// Both: the one with arguments wins.
class Both {
  void main() {
    System.out.println("no arguments");
  }

  static void main(String[] args) {
    System.out.println("arguments");
  }
}

abstract class Abstract {
  void main() {}
}

class NoConstructor {
  private NoConstructor() {}

  void main() {}
}

class ThrowingConstructor {
  ThrowingConstructor() {
    throw new IllegalStateException("in the constructor");
  }

  void main() {}
}

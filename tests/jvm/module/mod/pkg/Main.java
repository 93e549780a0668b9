package pkg;

public class Main {
  public static void main(String[] args) {
    for (String name : new String[] {"jdk.module.main", "jdk.module.main.class",
                                     "sun.java.command", "java.class.path"}) {
      System.out.println(name + "=" + System.getProperty(name));
    }
    System.out.println("in " + Main.class.getModule());
  }
}

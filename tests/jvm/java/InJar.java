// A main class that lives in a jar of lib/, for the class path wildcards.
package j;

public class InJar {
  public static void main(String[] args) {
    System.out.println("from the jar; class path "
        + System.getProperty("java.class.path").replace('\\', '/'));
  }
}

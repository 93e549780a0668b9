void main() {
    IO.println("a compact source file's class");
}

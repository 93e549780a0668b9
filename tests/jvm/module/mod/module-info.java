// A module whose jar names its main class.
module mod {
}

// A module whose jar names no main class.
module other {
}

.pragma library

// How often each test page file was instantiated, by page name, shared by every file that
// imports this library.
var counts = {};

function note(name) {
    counts[name] = (counts[name] || 0) + 1;
}

function count(name) {
    return counts[name] || 0;
}

// Runs inside KWin for as long as a mascot runs: tells the mascot where the pointer is, on every
// change and once at the start. The mascot puts the constant `mascot` (its bus name, object
// path, interface and method) in front of this text when it loads it.
//
// Written for KWin 5.27 and KWin 6. What differs between them is on the mascot's side: the
// script's object after loadScript is /<id> on 5.27 and /Scripting/Script<id> on 6. What this
// script uses is the same in both: `workspace.cursorPos` (a point) with its signal
// `cursorPosChanged`, and `callDBus`, which is asynchronous, so a mascot that hangs, has died or
// was never there costs KWin one message and an error reply, never a wait.

var sent = null; // the position last sent

function sendPointer() {
    var pointer = workspace.cursorPos;
    if (sent !== null && sent.x === pointer.x && sent.y === pointer.y) return;
    sent = { x: pointer.x, y: pointer.y };
    callDBus(mascot.service, mascot.path, mascot.iface, mascot.method, pointer.x, pointer.y);
}

workspace.cursorPosChanged.connect(sendPointer);
sendPointer();

// WebKitGTK for tests/harness/browser_driver.js: Debian's WebKitWebDriver
// driving MiniBrowser, spoken to in plain W3C WebDriver over HTTP (Node's
// own fetch), with the same methods as the driver's puppeteer engines.
const {execFileSync, spawn} = require("child_process");
const fs = require("fs");
const net = require("net");
const os = require("os");
const path = require("path");

const MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser";
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

const freePort = () => new Promise((done) => {
  const server = net.createServer().listen(0, "127.0.0.1", () => {
    const {port} = server.address();
    server.close(() => done(port));
  });
});

// onEveryPage runs once each page has loaded (WebDriver runs no script
// before the page's own).
exports.webkitEngine = async (width, height, onEveryPage) => {
  const port = await freePort();
  const driver = spawn("WebKitWebDriver", [`--port=${port}`], {stdio: "ignore"});
  const base = `http://127.0.0.1:${port}`;
  const call = async (method, where, body) => {
    // A browser that stopped answering fails the command rather than hanging the test.
    const response = await fetch(base + where, {method, headers: {"Content-Type": "application/json"},
      body: body === undefined ? undefined : JSON.stringify(body), signal: AbortSignal.timeout(60000)});
    const {value} = await response.json();
    if (!response.ok) throw new Error(`${value.error}: ${value.message}`);
    return value;
  };
  for (let tries = 0; ; ++tries) {
    try {
      await call("GET", "/status");
      break;
    } catch (e) {
      if (tries === 100) throw e;
      await sleep(100);
    }
  }
  const {sessionId} = await call("POST", "/session", {capabilities: {alwaysMatch: {"webkitgtk:browserOptions": {
    binary: MINIBROWSER, args: ["--automation"]}}}});
  const session = (method, where, body) => call(method, `/session/${sessionId}${where}`, body);
  await session("POST", "/window/rect", {width, height});
  const pointer = (...actions) => session("POST", "/actions",
    {actions: [{type: "pointer", id: "mouse", parameters: {pointerType: "mouse"}, actions}]});
  // Indirect eval: the page's own globals, and a promise awaited.
  const evaluate = (js) => session("POST", "/execute/sync", {script: "return (0, eval)(arguments[0]);", args: [js]});
  // WebDriver cannot read the console: its errors are noted from the page's
  // load on (its game starts after that), and kept across pages.
  const errors = [];
  const pageErrors = async () => (await evaluate("window.pageErrors")) ?? [];
  return {
    errors: async () => errors.concat(await pageErrors()),
    goto: async (url) => {
      errors.push(...await pageErrors().catch(() => []));
      await session("POST", "/url", {url});
      await evaluate(`(${onEveryPage})(); (${noteErrors})()`);
    },
    evaluate,
    move: (x, y) => pointer({type: "pointerMove", duration: 0, origin: "viewport", x: Math.round(x), y: Math.round(y)}),
    down: () => pointer({type: "pointerDown", button: 0}),
    up: () => pointer({type: "pointerUp", button: 0}),
    // WebKitGTK's element screenshot comes out shifted: the viewport's, cut
    // to the clip.
    screenshot: async (clip) => {
      const file = path.join(os.tmpdir(), `quillamor-webkit-${process.pid}.png`);
      fs.writeFileSync(file, Buffer.from(await session("GET", "/screenshot"), "base64"));
      if (clip) execFileSync(process.env.PY || "python3", [process.env.COMPARE, "crop", file,
        ...[clip.x, clip.y, clip.width, clip.height].map(Math.round).map(String), file]);
      try { return fs.readFileSync(file); } finally { fs.rmSync(file); }
    },
    // Only Chromium emulates a phone, has DevTools and is asked for its tabs.
    view: () => { throw new Error("not in WebKit"); },
    devtools: () => { throw new Error("not in WebKit"); },
    close: async () => {
      await Promise.race([session("DELETE", ""), sleep(5000)]).catch(() => {});
      driver.kill("SIGKILL");
    },
  };
};

function noteErrors() {
  window.pageErrors = [];
  const error = console.error;
  console.error = (...args) => { window.pageErrors.push(args.join(" ")); error.apply(console, args); };
  addEventListener("error", (e) => window.pageErrors.push(String(e.message)));
  addEventListener("unhandledrejection", (e) => window.pageErrors.push(String(e.reason)));
}

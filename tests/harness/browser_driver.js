// Drives the game's page in a browser for tests/browser_test.sh and
// bench/web.sh: one command a line on stdin, one answer a line on stdout
// ("ok ..." or "error ..."). The commands are the same in every engine, so
// the test's checks are written once. X Y are the game's pixels on the canvas.
//   open URL | move X Y | click X Y | press | shot FILE | page FILE | eval JS | tabs | front | errors | quit
// In Chromium, also a phone or a tablet (touch), its fingers, and what only
// its DevTools tell:
//   view WIDTH HEIGHT RATIO [touch] | tap X Y | finger down ID X Y | finger up ID
//   | pinch X Y | installability | cpu SECONDS
// press presses where the pointer is, unmoved (a mouse). shot answers the
// blocks each game pixel is on the screen: where they are uneven (a phone),
// it saves the canvas's own pixels and answers 1.
//   node tests/harness/browser_driver.js chromium|firefox|webkit WIDTH HEIGHT
// A page that holds the game in an <iframe> (as a game host shows it) is
// played in Chromium and Firefox as the game itself: commands act on the
// frame's page, at the frame's place.
// (puppeteer-core on NODE_PATH; WebKit under X, DISPLAY set, and PY and
// COMPARE a Python with PIL and tests/harness/compare_region.py, to cut its screenshots)
const fs = require("fs");
const os = require("os");
const path = require("path");

// When each picture reached the canvas, for the tick periods and the start-up
// time, and where (x, y, width, height), and when each press came, for the
// time the page takes to answer it (bench/web.sh).
function notePresents() {
  const put = CanvasRenderingContext2D.prototype.putImageData;
  window.presents = [];
  window.presented = [];
  window.pressed = [];
  CanvasRenderingContext2D.prototype.putImageData = function (image, x, y) {
    window.presents.push(performance.now());
    window.presented.push([performance.now(), x, y, image.width, image.height]);
    return put.apply(this, arguments);
  };
  // The press's own time (when the browser took it in) and when the page got it.
  for (const type of ["mousedown", "touchstart"])
    addEventListener(type, (e) => window.pressed.push([e.timeStamp, performance.now()]), true);
}

// Chromium and Firefox, through puppeteer-core (Firefox over WebDriver BiDi).
async function puppeteerEngine(name, width, height) {
  const puppeteer = require("puppeteer-core");
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), `quillamor-${name}-`));
  const browser = await puppeteer.launch(name === "firefox" ? {
    browser: "firefox", executablePath: "/usr/bin/firefox-esr", headless: true, defaultViewport: {width, height},
    userDataDir: profile,
  } : {
    executablePath: "/usr/bin/chromium", headless: true, defaultViewport: {width, height},
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
      "--disable-component-update", "--disable-sync", `--user-data-dir=${profile}`],
  });
  const page = await browser.newPage();
  const errors = [];
  page.on("console", (m) => { if (m.type() === "error") errors.push(m.text()); });
  page.on("pageerror", (e) => errors.push(String(e)));
  await page.evaluateOnNewDocument(notePresents);
  const devtools = () => page.createCDPSession();
  const game = () => page.mainFrame().childFrames()[0] ?? page.mainFrame();
  return {
    errors: async () => errors,
    goto: (url) => page.goto(url, {waitUntil: "load"}),
    evaluate: (js) => game().evaluate(js),
    frameAt: () => game() === page.mainFrame() ? {x: 0, y: 0} : page.evaluate(() => {
      const frame = document.querySelector("iframe"), r = frame.getBoundingClientRect();
      return {x: r.x + frame.clientLeft, y: r.y + frame.clientTop};
    }),
    move: (x, y) => page.mouse.move(x, y),
    down: () => page.mouse.down(),
    up: () => page.mouse.up(),
    screenshot: (clip) => page.screenshot({type: "png", clip}),
    tabs: async () => (await browser.pages()).map((p) => p.url()),
    front: async () => {  // closes the other tabs: a tab behind another draws nothing
      for (const other of await browser.pages()) if (other !== page) await other.close();
      await page.bringToFront();
    },
    view: (w, h, ratio, touch) => page.setViewport({width: w, height: h, deviceScaleFactor: ratio, isMobile: touch, hasTouch: touch}),
    devtools,
    close: async () => {
      // A page busy to the end may keep the browser from closing: then it is ended.
      await Promise.race([browser.close(), new Promise((done) => setTimeout(done, 5000))]);
      browser.process()?.kill("SIGKILL");
      fs.rmSync(profile, {recursive: true, force: true});
    },
  };
}

(async () => {
  const [name, width, height] = [process.argv[2], +process.argv[3], +process.argv[4]];
  const engine = name === "webkit" ? await require("./webdriver.js").webkitEngine(width, height, notePresents)
    : await puppeteerEngine(name, width, height);
  const canvas = async () => {
    const frame = await engine.frameAt?.() ?? {x: 0, y: 0};
    const r = await engine.evaluate(`(() => { const r = document.querySelector("canvas").getBoundingClientRect();
      return {x: r.x, y: r.y, width: r.width, height: r.height, ratio: devicePixelRatio}; })()`);
    return {...r, x: r.x + frame.x, y: r.y + frame.y};
  };
  const at = async (x, y) => { const r = await canvas(); return [r.x + (+x + 0.5) * r.width / 550, r.y + (+y + 0.5) * r.height / 440]; };
  const fingers = new Map();
  let devtools = null;
  const cdp = async (method, params) => (devtools ??= await engine.devtools()).send(method, params);
  const touch = (type) => cdp("Input.dispatchTouchEvent",
    {type, touchPoints: [...fingers].map(([id, [x, y]]) => ({id, x, y, radiusX: 5, radiusY: 5, force: 1}))});
  const commands = {
    open: (url) => engine.goto(url),
    view: async (w, h, ratio, touch) => engine.view(+w, +h, +ratio, touch === "touch"),
    move: async (x, y) => engine.move(...await at(x, y)),
    click: async (x, y) => { await engine.move(...await at(x, y)); await engine.down(); await engine.up(); },
    press: async () => { await engine.down(); await engine.up(); },
    finger: async (what, id, x, y) => {
      if (what === "down") fingers.set(+id, await at(x, y)); else fingers.delete(+id);
      await touch(what === "down" ? "touchStart" : "touchEnd");
    },
    tap: async (x, y) => { await commands.finger("down", 0, x, y); await commands.finger("up", 0); },
    pinch: async (x, y) => cdp("Input.synthesizePinchGesture",
      {x: (await at(x, y))[0], y: (await at(x, y))[1], scaleFactor: 2, gestureSourceType: "touch"}),
    shot: async (file) => {
      const r = await canvas();
      const blocks = r.width * r.ratio / 550;
      if (Number.isInteger(blocks) && r.height * r.ratio === 440 * blocks) {
        fs.writeFileSync(file, await engine.screenshot({x: r.x, y: r.y, width: r.width, height: r.height}));
        return blocks;
      }
      const png = await engine.evaluate(`document.querySelector("canvas").toDataURL("image/png")`);
      fs.writeFileSync(file, Buffer.from(png.split(",")[1], "base64"));
      return 1;
    },
    page: async (file) => fs.writeFileSync(file, await engine.screenshot()),  // the whole page, as a player sees it
    eval: async (...js) => JSON.stringify(await engine.evaluate(js.join(" "))),
    tabs: async () => (await engine.tabs()).join(" "),
    front: () => engine.front(),
    installability: async () => (await cdp("Page.getInstallabilityErrors")).installabilityErrors.map((e) => e.errorId).join(" "),
    cpu: async (seconds) => {  // the share of the page's main thread busy meanwhile, in %
      await cdp("Performance.enable");
      const busy = async () => (await cdp("Performance.getMetrics")).metrics.find((m) => m.name === "TaskDuration").value;
      const before = await busy();
      await new Promise((done) => setTimeout(done, seconds * 1000));
      return ((await busy()) - before) / seconds * 100;
    },
    errors: async () => { const all = await engine.errors(); return `${all.length} ${all.join(" | ")}`; },
  };
  for await (const line of require("readline").createInterface({input: process.stdin})) {
    const [command, ...args] = line.split(" ");
    if (command === "quit") break;
    try {
      if (!commands[command]) throw new Error(`no command ${command}`);
      console.log(`ok ${(await commands[command](...args)) ?? ""}`.replace(/\n/g, " "));
    } catch (e) {
      console.log(`error ${String(e).replace(/\n/g, " ")}`);
    }
  }
  await engine.close();
  process.exit(0);
})();

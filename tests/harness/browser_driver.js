// Drives the game's page in headless Chromium for tests/browser_test.sh: one
// command a line on stdin, one answer a line on stdout ("ok ..." or
// "error ..."). X Y are the game's pixels on the canvas.
//   open URL | move X Y | click X Y | press | shot FILE | eval JS | tabs | front | errors
//   | cpu SECONDS | quit
//   node tests/browser_driver.js WIDTH HEIGHT    (puppeteer-core on NODE_PATH)
const fs = require("fs");
const os = require("os");
const path = require("path");
const puppeteer = require("puppeteer-core");

(async () => {
  const [width, height] = process.argv.slice(2).map(Number);
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "quillamor-chromium-"));
  const browser = await puppeteer.launch({
    executablePath: "/usr/bin/chromium", headless: true, defaultViewport: {width, height},
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
      "--disable-component-update", "--disable-sync", `--user-data-dir=${profile}`],
  });
  const page = await browser.newPage();
  const errors = [];
  page.on("console", (m) => { if (m.type() === "error") errors.push(m.text()); });
  page.on("pageerror", (e) => errors.push(String(e)));
  // When each picture reached the canvas, for the tick periods and the start-up time.
  await page.evaluateOnNewDocument(() => {
    const put = CanvasRenderingContext2D.prototype.putImageData;
    window.presents = [];
    CanvasRenderingContext2D.prototype.putImageData = function (...args) {
      window.presents.push(performance.now());
      return put.apply(this, args);
    };
  });
  const canvas = () => page.$eval("canvas", (c) => { const r = c.getBoundingClientRect(); return {x: r.x, y: r.y, width: r.width, height: r.height}; });
  const at = async (x, y) => { const r = await canvas(); return [r.x + (+x + 0.5) * r.width / 550, r.y + (+y + 0.5) * r.height / 440]; };
  const commands = {
    open: (url) => page.goto(url, {waitUntil: "load"}),
    move: async (x, y) => page.mouse.move(...await at(x, y)),
    click: async (x, y) => { await page.mouse.move(...await at(x, y)); await page.mouse.down(); await page.mouse.up(); },
    press: async () => { await page.mouse.down(); await page.mouse.up(); },  // where the pointer is, unmoved
    shot: async (file) => fs.writeFileSync(file, await page.screenshot({type: "png", clip: await canvas()})),
    eval: async (...js) => JSON.stringify(await page.evaluate(js.join(" "))),
    tabs: async () => browser.targets().filter((t) => t.type() === "page").map((t) => t.url()).join(" "),
    front: async () => {  // closes the other tabs: a tab behind another draws nothing
      for (const other of await browser.pages()) if (other !== page) await other.close();
      await page.bringToFront();
    },
    cpu: async (seconds) => {  // the share of the page's main thread busy meanwhile, in %
      const session = await page.target().createCDPSession();
      await session.send("Performance.enable");
      const busy = async () => (await session.send("Performance.getMetrics")).metrics.find((m) => m.name === "TaskDuration").value;
      const before = await busy();
      await new Promise((done) => setTimeout(done, seconds * 1000));
      return ((await busy()) - before) / seconds * 100;
    },
    errors: async () => `${errors.length} ${errors.join(" | ")}`,
  };
  for await (const line of require("readline").createInterface({input: process.stdin})) {
    const [name, ...args] = line.split(" ");
    if (name === "quit") break;
    try {
      console.log(`ok ${(await commands[name](...args)) ?? ""}`.replace(/\n/g, " "));
    } catch (e) {
      console.log(`error ${String(e).replace(/\n/g, " ")}`);
    }
  }
  // A page busy to the end may keep the browser from closing: then it is ended.
  await Promise.race([browser.close(), new Promise((done) => setTimeout(done, 5000))]);
  browser.process()?.kill("SIGKILL");
  fs.rmSync(profile, {recursive: true, force: true});
  process.exit(0);
})();

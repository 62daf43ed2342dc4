// Keeps the page's files in the browser, so that after one visit the game
// starts with the network off. Each build has a cache of its own, named
// after its files (the build fills in the name and the list): a new build is
// fetched whole into its cache in the background of the next visit and
// only then takes over from the old one, which goes, so the page never
// mixes the files of two builds. The visit that fetched it plays on as it
// started; the one after plays the new build.
"use strict";
const CACHE = "quillamor2000-@BUILD@";
const FILES = [@FILES@];

self.addEventListener("install", (event) => {
  event.waitUntil((async () => {
    const cache = await caches.open(CACHE);
    // From the server, not the browser's own cache, which a host may let
    // hold an older build's file.
    await cache.addAll(FILES.map((file) => new Request(file, {cache: "reload"})));
    // A running page has read all its files at start: the new ones take
    // over at once.
    await self.skipWaiting();
  })());
});

self.addEventListener("activate", (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys())
      if (name.startsWith("quillamor2000-") && name !== CACHE) await caches.delete(name);
    await self.clients.claim();
  })());
});

self.addEventListener("fetch", (event) => {
  if (event.request.method !== "GET") return;
  event.respondWith((async () => {
    const cache = await caches.open(CACHE);
    // The page is the page at any settings of its address (?SDL_...).
    const url = new URL(event.request.url), scope = new URL(self.registration.scope);
    const page = event.request.mode === "navigate" && url.origin === scope.origin &&
      (url.pathname === scope.pathname || url.pathname === scope.pathname + "index.html");
    return (await cache.match(page ? "index.html" : event.request)) || fetch(event.request);
  })());
});

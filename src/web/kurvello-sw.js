// The page's service worker: keeps the page's files so that it opens without a network. The
// build writes in the files and a digest of them, so every new build is a new worker, which
// the browser fetches on the next visit: it keeps its own build's files and removes the others.
"use strict";
const BUILD = "@BUILD@";
const FILES = [@FILES@];
// By place too: two copies of the page on one server keep their files apart.
const PREFIX = "kurvello " + self.registration.scope + " ";
const KEPT = new Set(FILES.map((file) => new URL(file, self.location).href));

self.addEventListener("install", (event) => {
  // Past the browser's HTTP cache, which may still hold the build before.
  const requests = FILES.map((file) => new Request(file, {cache: "reload"}));
  event.waitUntil(caches.open(PREFIX + BUILD).then((cache) => cache.addAll(requests))
    .then(() => self.skipWaiting()));
});

self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys().then((names) => Promise.all(names
    .filter((name) => name.startsWith(PREFIX) && name !== PREFIX + BUILD)
    .map((name) => caches.delete(name)))).then(() => self.clients.claim()));
});

// The network first: online, the page is always the one served, all its files from one build;
// the kept files only when the network fails.
self.addEventListener("fetch", (event) => {
  const url = new URL(event.request.url);
  if (event.request.method !== "GET" || !KEPT.has(url.origin + url.pathname)) return;
  event.respondWith(fetch(event.request).catch((failure) => caches.open(PREFIX + BUILD)
    .then((cache) => cache.match(event.request, {ignoreSearch: true}))
    .then((kept) => kept || Promise.reject(failure))));
});

// A real CalDAV/CardDAV server for the browser tests: Debian's radicale on a free loopback port,
// its storage, users and rights in a folder of its own. alice owns what lies below /alice/.
// stop() ends it and start() brings it back on the same port and storage, for a server that goes
// away and returns; a raw client (put, list) stands for another device on the same account.

import { spawn } from "node:child_process";
import { mkdirSync, writeFileSync } from "node:fs";
import net from "node:net";
import path from "node:path";

export const ALICE = { user: "alice", password: "alice-secret" };

function freePort() {
  return new Promise((resolve, reject) => {
    const server = net.createServer();
    server.once("error", reject);
    server.listen(0, "127.0.0.1", () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

async function answering(port, deadline) {
  while (Date.now() < deadline) {
    const connected = await new Promise((resolve) => {
      const socket = net.connect(port, "127.0.0.1", () => { socket.destroy(); resolve(true); });
      socket.once("error", () => resolve(false));
    });
    if (connected) return;
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
  throw new Error("radicale does not accept connections");
}

export class Radicale {
  constructor(folder) {
    this.folder = folder;
    mkdirSync(folder, { recursive: true });
  }

  async start() {
    this.port ??= await freePort();
    writeFileSync(path.join(this.folder, "users"), `${ALICE.user}:${ALICE.password}\n`);
    writeFileSync(path.join(this.folder, "rights"),
                  "[root]\nuser: .+\ncollection:\npermissions: R\n\n" +
                  "[principal]\nuser: .+\ncollection: {user}\npermissions: RW\n\n" +
                  "[own]\nuser: .+\ncollection: {user}/[^/]+\npermissions: rw\n");
    writeFileSync(path.join(this.folder, "config"),
                  `[server]\nhosts = 127.0.0.1:${this.port}\n` +
                  `[auth]\ntype = htpasswd\nhtpasswd_filename = ${path.join(this.folder, "users")}\n` +
                  "htpasswd_encryption = plain\ndelay = 0\n" +
                  `[rights]\ntype = from_file\nfile = ${path.join(this.folder, "rights")}\n` +
                  `[storage]\nfilesystem_folder = ${path.join(this.folder, "collections")}\n` +
                  "[web]\ntype = none\n[logging]\nlevel = warning\n");
    this.child = spawn("radicale", ["--config", path.join(this.folder, "config")],
                       { stdio: "ignore", detached: true });
    await answering(this.port, Date.now() + 20000);
  }

  async stop() {
    if (!this.child || this.child.exitCode !== null) return;
    const exited = new Promise((resolve) => this.child.once("exit", resolve));
    process.kill(-this.child.pid, "SIGTERM");
    await exited;
  }

  get url() { return `http://127.0.0.1:${this.port}/`; }

  request(method, pathname, body, headers = {}) {
    const auth = Buffer.from(`${ALICE.user}:${ALICE.password}`).toString("base64");
    return fetch(new URL(pathname, this.url), {
      method, body, headers: { Authorization: `Basic ${auth}`, ...headers },
    });
  }

  // The members of a collection (their addresses), as another client lists them.
  async members(collection) {
    const response = await this.request("PROPFIND", collection, '<propfind xmlns="DAV:"><prop><getetag/></prop></propfind>',
                                        { Depth: "1", "Content-Type": "application/xml" });
    const text = await response.text();
    return [...text.matchAll(/<(?:\w+:)?href>([^<]+)<\/(?:\w+:)?href>/g)].map((match) => match[1])
      .filter((href) => href !== collection);
  }
}
